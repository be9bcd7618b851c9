#include "slideshow/fast_picture_loader.h"

#include <new>

FastPictureLoader::FastPictureLoader(ImagingBackend& imaging, std::unique_ptr<PhotoSource> source,
                                     const ImageDims* dims, int32_t screenWidth, int32_t screenHeight)
    : picture_(imaging.NewPicture()),
      source_(std::move(source)),
      hasDims_(dims != nullptr),
      screenWidth_(screenWidth),
      screenHeight_(screenHeight) {
  if (dims != nullptr) dims_ = *dims;
}

FastPictureLoader::~FastPictureLoader() {
  cancel_ = true;
  Stop();
}

void FastPictureLoader::Begin() {
  if (!Start()) {
    Run();
    return;
  }
  SetPriority(kThreadPriorityBelowNormal);
  Resume();
}

int FastPictureLoader::Run() {
  try {
    loaded_ = Load();
  } catch (const std::bad_alloc&) {
    loaded_ = false;
  }
  if (!loaded_) picture_.reset();
  done_ = true;
  return 0;
}

bool FastPictureLoader::Load() {
  if (picture_ == nullptr || source_ == nullptr || source_->Locate() != kLoaderNoError) return false;
  uint32_t size = 0;
  const uint8_t* bytes = source_->Load(&size);
  if (bytes == nullptr) return false;
  int32_t width = 0, height = 0;
  const bool sized = picture_->ReadSize(bytes, size, &width, &height);
  FittedSize fitted;
  if (sized) fitted = FitInside(width, height, screenWidth_, screenHeight_);
  if (!picture_->Decode(bytes, size, fitted.width, fitted.height, &cancel_) || picture_->Width() < 1 ||
      picture_->Height() < 1)
    return false;
  fitted = hasDims_ ? FitInside(dims_.width, dims_.height, screenWidth_, screenHeight_)
                    : FitInside(picture_->Width(), picture_->Height(), screenWidth_, screenHeight_);
  if (fitted.width < 1 || fitted.height < 1) return false;
  return picture_->Resize(fitted.width, fitted.height);
}

std::unique_ptr<SlidePicture> FastPictureLoader::Take() {
  if (!Done()) return nullptr;
  Stop();
  return std::move(picture_);
}
