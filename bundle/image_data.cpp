#include "bundle/image_data.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <stb_image.h>
#include <stb_image_resize.h>

#include "bundle/byte_order.h"
#include "bundle/file_helpers.h"
#include "bundle/image_preflight.h"
#include "bundle/jpeg_reader.h"
#include "bundle/resampler.h"

namespace {

ResampleKernel Kernel(int filter) {
  switch (filter) {
    case ImageResizeFilter_Box:
      return ResampleKernel::Box;
    case ImageResizeFilter_Triangle:
      return ResampleKernel::Triangle;
    default:
      return ResampleKernel::Smooth;
  }
}

int StbFilter(int filter) {
  switch (filter) {
    case ImageResizeFilter_Box:
      return STBIR_FILTER_BOX;
    case ImageResizeFilter_Triangle:
      return STBIR_FILTER_TRIANGLE;
    default:
      return STBIR_FILTER_DEFAULT;  // Mitchell or Catmull-Rom, see stb_impl.cpp
  }
}

constexpr uint32_t kBitmapFileHeaderSize = 14;
constexpr uint32_t kBitmapInfoHeaderSize = 40;
constexpr uint32_t kPixelsPerMetre72Dpi = 2835;

}  // namespace

bool ImageSizeAllowed(int width, int height, uint64_t maxBytes) {
  if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return false;
  return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4 <= maxBytes;
}

bool ReadUprightImageSize(const void* data, size_t size, int& width, int& height) {
  if (data == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX)) return false;
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (JpegStart(bytes, size) < size) {
    JpegReader jpeg(bytes, size, kMaxImageBytes, nullptr);
    if (!jpeg.ReadHeader()) return false;
    width = jpeg.UprightWidth();
    height = jpeg.UprightHeight();
    return true;
  }
  int channels = 0;
  return stbi_info_from_memory(bytes, static_cast<int>(size), &width, &height, &channels) != 0;
}

CImageData::~CImageData() { ReleaseStore(store_); }

void CImageData::Clear() { ReleaseStore(store_); }

void CImageData::Adopt(Store& store) {
  ReleaseStore(store_);
  store_ = store;
  store = Store();
}

bool CImageData::Create(int width, int height) {
  Clear();
  Store store;
  if (!ImageSizeAllowed(width, height) || !AllocateStore(width, height, store)) return false;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i) store.pixels[i * 4 + 3] = 255;
  Adopt(store);
  return true;
}

bool CImageData::Decode(const void* data, size_t size, uint64_t maxBytes) {
  // No scale leaves a picture this large: the full size.
  return DecodeAtLeast(data, size, INT_MAX, INT_MAX, nullptr, maxBytes);
}

bool CImageData::DecodeAtLeast(const void* data, size_t size, int needWidth, int needHeight,
                               const std::atomic<bool>* cancel, uint64_t maxBytes) {
  Clear();
  if (data == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX)) return false;
  if (cancel != nullptr && cancel->load()) return false;
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (!EncodedImagePassesPreflight(bytes, size)) return false;
  if (JpegStart(bytes, size) < size) return DecodeJpeg(bytes, size, needWidth, needHeight, cancel, maxBytes);
  return DecodeWithStb(bytes, size, maxBytes);
}

namespace {

// A progressive file keeps every coefficient of the whole picture, at most
// 6 bytes per pixel: twice the pixel limit admits every picture whose
// full-size pixels would be within it, at any scale.
uint64_t JpegWorkingLimit(uint64_t maxBytes) { return maxBytes > UINT64_MAX / 2 ? UINT64_MAX : maxBytes * 2; }

}  // namespace

RowDecode DecodeRowsAtSize(const void* data, size_t size, int width, int height,
                           const std::atomic<bool>* cancel,
                           const std::function<void(int y, const uint8_t* row)>& sink, uint64_t maxBytes) {
  if (data == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX)) return RowDecode::Failed;
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (JpegStart(bytes, size) >= size) return RowDecode::WholePictureNeeded;
  if ((cancel != nullptr && cancel->load()) || !EncodedImagePassesPreflight(bytes, size)) return RowDecode::Failed;
  JpegReader jpeg(bytes, size, JpegWorkingLimit(maxBytes), cancel);
  if (!jpeg.ReadHeader() || jpeg.UprightWidth() > kMaxImageSide || jpeg.UprightHeight() > kMaxImageSide)
    return RowDecode::Failed;
  if (!jpeg.StoredUpright()) return RowDecode::WholePictureNeeded;
  if (!ImageSizeAllowed(width, height, maxBytes) || !jpeg.ScaleToAtLeast(width, height) ||
      !ImageSizeAllowed(jpeg.UprightWidth(), jpeg.UprightHeight(), maxBytes))
    return RowDecode::Failed;
  bool read = false;
  if (jpeg.UprightWidth() == width && jpeg.UprightHeight() == height) {
    int y = 0;
    read = jpeg.ReadUprightRows([&](const uint8_t* row) { sink(y++, row); });
  } else {
    RowResampler resampler;
    if (!resampler.Start(jpeg.UprightWidth(), jpeg.UprightHeight(), width, height, ResampleKernel::Smooth, sink))
      return RowDecode::Failed;
    read = jpeg.ReadUprightRows([&](const uint8_t* row) { resampler.Push(row); });
  }
  return read ? RowDecode::Done : RowDecode::Failed;
}

bool CImageData::DecodeJpeg(const uint8_t* bytes, size_t size, int needWidth, int needHeight,
                            const std::atomic<bool>* cancel, uint64_t maxBytes) {
  JpegReader jpeg(bytes, size, JpegWorkingLimit(maxBytes), cancel);
  if (!jpeg.ReadHeader() || jpeg.UprightWidth() > kMaxImageSide ||
      jpeg.UprightHeight() > kMaxImageSide || !jpeg.ScaleToAtLeast(needWidth, needHeight))
    return false;
  const int width = jpeg.UprightWidth();
  const int height = jpeg.UprightHeight();
  Store store;
  if (!ImageSizeAllowed(width, height, maxBytes) || !AllocateStore(width, height, store)) return false;
  if (!jpeg.ReadUpright(store.pixels)) {
    ReleaseStore(store);
    return false;
  }
  Adopt(store);
  return true;
}

bool CImageData::DecodeWithStb(const uint8_t* bytes, size_t size, uint64_t maxBytes) {
  // The header alone tells the size; nothing large is allocated before it
  // has been accepted.
  const int length = static_cast<int>(size);
  int width = 0;
  int height = 0;
  int channels = 0;
  if (!stbi_info_from_memory(bytes, length, &width, &height, &channels)) return false;
  if (!ImageSizeAllowed(width, height, maxBytes)) return false;

  std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
      stbi_load_from_memory(bytes, length, &width, &height, &channels, 4), stbi_image_free);
  if (!rgba || !ImageSizeAllowed(width, height, maxBytes)) return false;

  Store store;
  if (!AllocateStore(width, height, store)) return false;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  const stbi_uc* from = rgba.get();
  uint8_t* to = store.pixels;
  for (size_t i = 0; i < count; ++i, from += 4, to += 4) {
    to[0] = from[2];
    to[1] = from[1];
    to[2] = from[0];
    to[3] = from[3];
  }
  Adopt(store);
  return true;
}

bool CImageData::HasTranslucentPixels() const {
  const size_t count = static_cast<size_t>(store_.width) * static_cast<size_t>(store_.height);
  for (size_t i = 0; i < count; ++i) {
    if (store_.pixels[i * 4 + 3] != 255) return true;
  }
  return false;
}

bool CImageData::Resize(int width, int height, int filter) {
  if (IsEmpty() || !ImageSizeAllowed(width, height)) return false;
  if (width == store_.width && height == store_.height) return true;
  Store target;
  if (!AllocateStore(width, height, target)) return false;
  // Photographs are opaque and take the fast fixed-point path; where there is
  // transparency, colour must be weighted by coverage, which stb does.
  const bool done =
      HasTranslucentPixels()
          ? stbir_resize_uint8_generic(store_.pixels, store_.width, store_.height, GetStride(),
                                       target.pixels, width, height, width * 4, 4, 3, 0,
                                       STBIR_EDGE_CLAMP, static_cast<stbir_filter>(StbFilter(filter)),
                                       STBIR_COLORSPACE_LINEAR, nullptr) != 0
          : ResampleOpaque(store_.pixels, store_.width, store_.height, GetStride(), target.pixels,
                           width, height, static_cast<size_t>(width) * 4, Kernel(filter));
  if (!done) {
    ReleaseStore(target);
    return false;
  }
  Adopt(target);
  return true;
}

std::vector<uint8_t> CImageData::EncodeWindowsBitmap() const {
  if (IsEmpty()) return {};
  const uint32_t width = static_cast<uint32_t>(store_.width);
  const uint32_t height = static_cast<uint32_t>(store_.height);
  const uint32_t rowBytes = (width * 3 + 3) & ~3u;
  const uint32_t pixelOffset = kBitmapFileHeaderSize + kBitmapInfoHeaderSize;
  // Within the size limits this stays far below 4 GiB.
  const uint32_t imageBytes = rowBytes * height;
  std::vector<uint8_t> file;
  file.reserve(pixelOffset + imageBytes);
  file.push_back('B');
  file.push_back('M');
  AppendLE32(file, pixelOffset + imageBytes);
  AppendLE32(file, 0);  // reserved
  AppendLE32(file, pixelOffset);
  AppendLE32(file, kBitmapInfoHeaderSize);
  AppendLE32(file, width);
  AppendLE32(file, height);  // positive: bottom row first
  AppendLE16(file, 1);       // planes
  AppendLE16(file, 24);      // bits per pixel
  AppendLE32(file, 0);       // BI_RGB
  AppendLE32(file, imageBytes);
  AppendLE32(file, kPixelsPerMetre72Dpi);
  AppendLE32(file, kPixelsPerMetre72Dpi);
  AppendLE32(file, 0);  // colours used
  AppendLE32(file, 0);  // important colours
  file.resize(pixelOffset + imageBytes, 0);  // rows, padding zero

  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* from = store_.pixels + static_cast<size_t>(height - 1 - y) * GetStride();
    uint8_t* to = file.data() + pixelOffset + static_cast<size_t>(y) * rowBytes;
    for (uint32_t x = 0; x < width; ++x, from += 4, to += 3) {
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
    }
  }
  return file;
}

bool CImageData::SaveWindowsBitmap(const char* path) const {
  if (path == nullptr || *path == '\0') return false;
  const std::vector<uint8_t> file = EncodeWindowsBitmap();
  return !file.empty() && ReplaceFileContents(path, file.data(), file.size());
}
