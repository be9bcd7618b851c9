#include "slideshow/image_loader.h"

#include <new>

const char* LoaderStateName(int32_t state) {
  switch (state) {
    case kLoaderCreated: return "created";
    case kLoaderReading: return "reading";
    case kLoaderDecoding: return "decoding";
    case kLoaderDecoded: return "decoded";
    case kLoaderSplitting: return "splitting";
    case kLoaderResizing: return "resizing";
    case kLoaderReady: return "ready";
    case kLoaderUploading: return "uploading";
    case kLoaderComplete: return "complete";
    default: return "unknown";
  }
}

const char* LoaderErrorName(int32_t error) {
  switch (error) {
    case kLoaderNoError: return "none";
    case kLoaderFileNotFound: return "file not in category";
    case kLoaderNoCategory: return "no category";
    case kLoaderUnreadable: return "bytes unreadable";
    case kLoaderUndecodable: return "picture undecodable";
    case kLoaderOutOfMemory: return "out of memory";
    case kLoaderCancelled: return "cancelled";
    default: return "unknown";
  }
}

CImgLoadThread::CImgLoadThread(ImagingBackend* imagingBackend) : imaging(imagingBackend) {}

CImgLoadThread::~CImgLoadThread() {
  // Run uses our members, so the thread must end before they go; a decode
  // under way notices the cancel between scanlines.
  cancel = true;
  Stop();
  if (!handedOver) delete slide;
}

void CImgLoadThread::SetSource(std::unique_ptr<PhotoSource> photoSource,
                               const ImageDims& photoDims) {
  source = std::move(photoSource);
  dims = photoDims;
}

void CImgLoadThread::Start(int32_t startClock) {
  startTime = startClock;
  picture = imaging != nullptr ? imaging->NewPicture() : nullptr;
  if (!cThread::Start()) {
    Run();
    return;
  }
  SetPriority(kThreadPriorityBelowNormal);
  Resume();
}

int CImgLoadThread::Run() {
  layout = TileLayout();
  if (source == nullptr) {
    Fail(kLoaderNoCategory);
    return 0;
  }
  const int32_t located = source->Locate();
  if (located != kLoaderNoError) {
    Fail(located);
    return 0;
  }

  state = kLoaderReading;
  try {
    uint32_t size = 0;
    const uint8_t* bytes = source->Load(&size);
    if (bytes == nullptr) {
      Fail(kLoaderUnreadable);
      return 0;
    }
    if (!Prepare(bytes, size) || !CutTiles()) return 0;
  } catch (const std::bad_alloc&) {
    picture.reset();
    tiles.clear();
    Fail(kLoaderOutOfMemory);
    return 0;
  }
  cMonitorLock hold(lock);
  state = kLoaderReady;
  return 0;
}

// Decoded at no more than the screen needs, then resampled to exactly that.
bool CImgLoadThread::Prepare(const uint8_t* bytes, uint32_t size) {
  state = kLoaderDecoding;
  if (picture == nullptr) {
    Fail(kLoaderUndecodable);
    return false;
  }
  int32_t width = 0, height = 0;
  FittedSize need;
  const bool sized = picture->ReadSize(bytes, size, &width, &height) && width > 0 && height > 0;
  if (sized) need = NeededPictureSize(width, height, screen, cram != 0, cramSize);
  // A picture without pixels cannot be tiled; treat it as undecodable.
  if (!picture->Decode(bytes, size, need.width, need.height, &cancel) || picture->Width() < 1 ||
      picture->Height() < 1) {
    Fail(cancel ? kLoaderCancelled : kLoaderUndecodable);
    return false;
  }
  state = kLoaderDecoded;
  if (!sized) {
    width = picture->Width();
    height = picture->Height();
    need = NeededPictureSize(width, height, screen, cram != 0, cramSize);
  }
  mipLevels = SlideMipLevels(need.width, need.height, width, height, screen, mipMap ? 4 : 1);
  if (need.width != picture->Width() || need.height != picture->Height()) {
    state = kLoaderResizing;
    if (!picture->Resize(need.width, need.height)) {
      Fail(kLoaderOutOfMemory);
      return false;
    }
  }
  return true;
}

bool CImgLoadThread::CutTiles() {
  state = kLoaderSplitting;
  layout = ComputeTileLayout(picture->Width(), picture->Height(), tileLimit);
  const int32_t count = layout.columns * layout.rows;
  tiles.resize(static_cast<size_t>(count));
  for (int32_t index = 0; index < count; ++index) {
    if (cancel) {
      Fail(kLoaderCancelled);
      return false;
    }
    if (!CutTile(picture->Pixels(), picture->Width(), picture->Height(), TileUploadAt(layout, index),
                 mipLevels, tiles[static_cast<size_t>(index)])) {
      Fail(kLoaderOutOfMemory);
      return false;
    }
  }
  // The full picture is the largest thing a load makes; the tiles hold all
  // that is needed now.
  picture.reset();
  // The slide's proportions come from the dims record, not the picture.
  CSlideImage* made = new CSlideImage;
  made->SetDims(dims.width, dims.height, dims.horizontalOnly, dims.verticalOnly);
  made->AllocateTiles(layout);
  slide = made;
  return true;
}

bool CImgLoadThread::UploadStep() {
  if (!IsReady() || slide == nullptr) return false;
  if (slide->IsComplete()) return true;

  const int32_t index = slide->tilesUploaded;
  TilePixels& texels = tiles[static_cast<size_t>(index)];
  SlideTexture* texture = imaging != nullptr ? imaging->UploadTile(texels, textureBits, mipLevels) : nullptr;
  texels = TilePixels();
  // A tile without texture still counts, or Finish would never end.
  slide->tiles[static_cast<size_t>(index)].texture = texture;
  slide->tilesUploaded = index + 1;
  if (!slide->IsComplete()) {
    state = kLoaderUploading;
    return false;
  }
  tiles.clear();
  state = kLoaderComplete;
  return true;
}

CSlideImage* CImgLoadThread::Finish() {
  // Never touch the tiles or the slide while the thread may still run.
  Stop();
  if (GetError() == kLoaderNoError && slide != nullptr) {
    while (!UploadStep()) {
    }
    state = kLoaderComplete;
  }
  picture.reset();
  tiles.clear();
  handedOver = true;
  return slide;
}
