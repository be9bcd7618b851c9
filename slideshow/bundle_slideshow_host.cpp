#include "slideshow/bundle_slideshow_host.h"

#include <ctime>

#include "foundation/perf_timer.h"

bool ImagePicture::ReadSize(const uint8_t* bytes, uint32_t size, int32_t* width, int32_t* height) {
  int w = 0, h = 0;
  if (!ReadUprightImageSize(bytes, size, w, h)) return false;
  *width = w;
  *height = h;
  return true;
}

bool ImagePicture::Decode(const uint8_t* bytes, uint32_t size, int32_t needWidth, int32_t needHeight,
                          const std::atomic<bool>* cancel) {
  // Without a size asked for, the whole picture.
  if (needWidth < 1 || needHeight < 1) return Data().Decode(bytes, size);
  return Data().DecodeAtLeast(bytes, size, needWidth, needHeight, cancel);
}

const uint8_t* ImagePicture::Pixels() const { return object.GetObjectDataPtr()->GetPixels(); }

int32_t ImagePicture::Width() const { return object.GetObjectDataPtr()->GetWidth(); }

int32_t ImagePicture::Height() const { return object.GetObjectDataPtr()->GetHeight(); }

bool ImagePicture::Resize(int32_t width, int32_t height) { return Data().Resize(width, height); }

int32_t BundlePhotoSource::Locate() {
  if (category == nullptr) return kLoaderNoCategory;
  if (file == nullptr) return kLoaderFileNotFound;
  return kLoaderNoError;
}

const uint8_t* BundlePhotoSource::Load(uint32_t* size) {
  const uint8_t* bytes = category->Load(file);
  if (bytes != nullptr) *size = file->size;
  return bytes;
}

bool BundleSlideshowHost::OpenBundle(const char* path) {
  photos.clear();
  dimsTable.clear();
  captionTable.clear();
  imageCategory = nullptr;
  if (!bundle.Open(path)) return false;
  VFFILECAT* image = bundle.FindCategory("image");
  VFFILECAT* dims = bundle.FindCategory("dims");
  VFFILECAT* caps = bundle.FindCategory("caps");
  if (image == nullptr || dims == nullptr || caps == nullptr) return false;
  imageCategory = image;
  for (bool more = image->files.First(); more; more = image->files.Next()) {
    photos.push_back(image->files.Current());
  }
  dimsTable = ReadImageDimsTable(*dims);
  captionTable = ReadImageCaptionTable(*caps);
  return true;
}

VFFILE* BundleSlideshowHost::PhotoFile(int32_t photo) const {
  if (photo < 0 || photo >= PhotoCount()) return nullptr;
  return photos[static_cast<size_t>(photo)];
}

const ImageDims* BundleSlideshowHost::FindDims(const VFFILE* file) const {
  return file == nullptr ? nullptr : FindImageRecord(dimsTable, file->name);
}

const ImageCaption* BundleSlideshowHost::FindCaption(const VFFILE* file) const {
  return file == nullptr ? nullptr : FindImageRecord(captionTable, file->name);
}

ImageDims BundleSlideshowHost::DimsOf(int32_t photo) {
  const ImageDims* dims = FindDims(PhotoFile(photo));
  return dims != nullptr ? *dims : ImageDims();
}

std::unique_ptr<PhotoSource> BundleSlideshowHost::PhotoSourceOf(int32_t photo) {
  return std::make_unique<BundlePhotoSource>(imageCategory, PhotoFile(photo));
}

uint32_t BundleSlideshowHost::TimeSeconds() { return static_cast<uint32_t>(std::time(nullptr)); }

double BundleSlideshowHost::StopwatchMs() {
  static CPerfTimer stopwatch(true);
  return static_cast<double>(stopwatch.Elapsed());
}

void BundleSlideshowHost::OpenCaptions(int32_t tileLimit, int32_t textureBits) {
  if (captions != nullptr) captions->Open(tileLimit, textureBits);
}

void BundleSlideshowHost::RenderCaption(int32_t slot, int32_t photo) {
  if (captions == nullptr) return;
  const ImageCaption* caption = FindCaption(PhotoFile(photo));
  captions->Render(slot, caption != nullptr ? caption->text.c_str() : nullptr);
}

void BundleSlideshowHost::CaptionStep(int32_t slot) {
  if (captions != nullptr) captions->Step(slot);
}

void BundleSlideshowHost::ReleasePhoto(int32_t photo) {
  VFFILE* file = PhotoFile(photo);
  if (file != nullptr) file->Free();
}
