// The imaging layer's pixel store: one picture as 32-bit BGRA pixels, top row
// first, decoded from JPEG (through libjpeg: baseline or progressive, colour,
// grey or CMYK, upright by its EXIF orientation, at a reduced DCT scale when
// asked), PNG or BMP bytes (through stb_image), resampled in place with a
// smooth filter and written out as a Windows bitmap.
//
// Where the pixels live is the platform's business (image_data_posix.cpp,
// image_data_win32.cpp). On Windows they are the bits of a GDI DIB section,
// so Draw, Stretch and GetBitmap work on the same memory without copies and
// the bitmap always shows the current pixels. Those three operations are
// declared with the GDI handle types' own struct names, so this header needs
// no Windows header and Windows callers still pass and get HDC and HBITMAP.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#ifdef _WIN32
struct HDC__;
struct HBITMAP__;
#endif

// The largest picture the layer holds: per side, and in bytes of pixels.
// Photographs of the bundle are far below both; anything above is taken for
// a damaged or hostile file and refused before any pixel memory is taken.
constexpr int kMaxImageSide = 16384;
constexpr uint64_t kMaxImageBytes = uint64_t{512} << 20;

// Resampling filters. Every caller asks for 2; any other value acts as 2.
enum ImageResizeFilter {
  ImageResizeFilter_Box = 0,
  ImageResizeFilter_Triangle = 1,
  ImageResizeFilter_Smooth = 2,  // Mitchell when shrinking, Catmull-Rom when enlarging
};

// True when a width x height picture may be held: both sides 1 to
// kMaxImageSide and 4 bytes per pixel within maxBytes.
bool ImageSizeAllowed(int width, int height, uint64_t maxBytes = kMaxImageBytes);

// The size a JPEG, PNG or BMP file decodes to at full scale, upright (a JPEG
// whose EXIF orientation lays it on its side has width and height swapped),
// read from the header alone: nothing is decoded, and the sizes are not
// checked against the limits. False when no such header is there.
bool ReadUprightImageSize(const void* data, size_t size, int& width, int& height);

// How DecodeRowsAtSize ended.
enum class RowDecode {
  Done,
  WholePictureNeeded,  // not a JPEG stored upright: DecodeAtLeast, then Resize
  Failed,              // damaged, too large, out of memory or cancelled
};
// A JPEG stored upright, decoded at the smallest DCT scale that leaves at
// least width x height and resampled to exactly that (the smooth filter),
// each B G R A row handed to `sink` top down as soon as it is made. Only the
// rows under the filter are held, never the picture, so a caller that cuts
// the rows into pieces holds just the pieces. The row is only valid during
// the call; a sink may throw std::bad_alloc, which ends the decode and
// passes through. The same checks and limits as DecodeAtLeast, maxBytes
// applying to the scaled and to the resampled size.
RowDecode DecodeRowsAtSize(const void* data, size_t size, int width, int height,
                           const std::atomic<bool>* cancel,
                           const std::function<void(int y, const uint8_t* row)>& sink,
                           uint64_t maxBytes = kMaxImageBytes);

class CImageData {
 public:
  CImageData() = default;
  ~CImageData();
  CImageData(const CImageData&) = delete;
  CImageData& operator=(const CImageData&) = delete;

  int GetWidth() const { return store_.width; }
  int GetHeight() const { return store_.height; }
  // Bytes from one row to the next: always 4 x width.
  int GetStride() const { return store_.width * 4; }
  // B, G, R, A per pixel, rows top down; null while empty. Formats without
  // transparency give A = 255.
  const uint8_t* GetPixels() const { return store_.pixels; }
  uint8_t* GetPixels() { return store_.pixels; }
  bool IsEmpty() const { return store_.pixels == nullptr; }

  // Replaces the picture with an opaque black one. False, and empty, when
  // the size is not allowed or memory is short.
  bool Create(int width, int height);
  // Decodes a JPEG, PNG or BMP file held in memory at full size, upright;
  // the bytes stay the caller's. The size is checked against maxBytes from
  // the file's header before anything is decoded. False, and empty, for
  // anything that is not a complete, undamaged picture of an allowed size,
  // and when memory is short.
  bool Decode(const void* data, size_t size, uint64_t maxBytes = kMaxImageBytes);
  // The same, but a JPEG comes out at the smallest of libjpeg's DCT scales
  // (1/1, 1/2, 1/4, 1/8) that leaves the upright picture at least
  // needWidth x needHeight, or at full size when none does; the caller
  // resamples the rest of the way. PNG and BMP decode at full size. The
  // decoded (scaled) size is what maxBytes limits; a JPEG's own sides stay
  // within kMaxImageSide and libjpeg's working memory (a progressive file's
  // coefficients) within twice maxBytes.
  // Once *cancel is set a JPEG decode stops at its next row (other formats
  // look before they start) and gives false, leaving the picture empty.
  bool DecodeAtLeast(const void* data, size_t size, int needWidth, int needHeight,
                     const std::atomic<bool>* cancel = nullptr,
                     uint64_t maxBytes = kMaxImageBytes);
  void Clear();

  // Resamples in place to width x height (no point sampling: shrinking by
  // any factor averages). False, with the picture unchanged, when empty, the
  // size is not allowed or memory is short.
  bool Resize(int width, int height, int filter = ImageResizeFilter_Smooth);

  // The picture as a Windows bitmap file: 24 bits per pixel, rows bottom
  // up, each padded to a multiple of 4 bytes. Empty while the picture is.
  std::vector<uint8_t> EncodeWindowsBitmap() const;
  // Writes EncodeWindowsBitmap() to path through a temporary file beside it
  // that then replaces path, so a failed save leaves an existing file as it
  // was.
  bool SaveWindowsBitmap(const char* path) const;

#ifdef _WIN32
  // The DIB section holding the pixels, owned by the picture: valid until
  // the next Create, Decode, Resize or Clear, or the picture's end. Null
  // while empty. Selected into a device context, it blocks Draw and Stretch
  // until it is selected out again. After GDI has drawn into it, call
  // GdiFlush before reading GetPixels.
  HBITMAP__* GetBitmap() const;
  // Copies the width x height rectangle at (sourceX, sourceY), counted from
  // the picture's top-left corner, unscaled to (x, y) in dc with the raster
  // operation rop. mode is taken for the stretch-mode parameter of the
  // interface and has nothing to act on here.
  bool Draw(HDC__* dc, int x, int y, int width, int height, int sourceX, int sourceY, int mode,
            unsigned long rop) const;
  // Scales the source rectangle onto the destination rectangle. mode is a
  // GDI stretch mode (3 colour-on-colour, 4 half-tone) set on dc for this
  // call only; 0 keeps the mode dc has.
  bool Stretch(HDC__* dc, int x, int y, int width, int height, int sourceX, int sourceY,
               int sourceWidth, int sourceHeight, int mode, unsigned long rop) const;
#endif

 private:
  struct Store {
    uint8_t* pixels = nullptr;
    void* bitmap = nullptr;  // the DIB section on Windows, null elsewhere
    int width = 0;
    int height = 0;
  };

  // The platform's pixel memory: zero-filled, 4 x width bytes per row with
  // no gap between rows. The size has been checked already.
  static bool AllocateStore(int width, int height, Store& store);
  static void ReleaseStore(Store& store);

  // Frees the current pixels and takes over `store`.
  void Adopt(Store& store);
  bool DecodeJpeg(const uint8_t* bytes, size_t size, int needWidth, int needHeight,
                  const std::atomic<bool>* cancel, uint64_t maxBytes);
  bool DecodeWithStb(const uint8_t* bytes, size_t size, uint64_t maxBytes);
  bool HasTranslucentPixels() const;

  Store store_;
};
