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
    if (!Prepare(bytes, size)) return 0;
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

// Decoded at no more than the screen needs and resampled to exactly that,
// straight into the tiles where the format allows, so the loader never holds
// the picture beside its tiles; otherwise whole, then resampled and cut.
bool CImgLoadThread::Prepare(const uint8_t* bytes, uint32_t size) {
  state = kLoaderDecoding;
  if (picture == nullptr) {
    Fail(kLoaderUndecodable);
    return false;
  }
  int32_t width = 0, height = 0;
  const bool sized = picture->ReadSize(bytes, size, &width, &height) && width > 0 && height > 0;
  if (sized) {
    StartTiles(width, height);
    TileCutter cutter(layout, mipLevels, tiles);
    switch (picture->DecodeRows(bytes, size, layout.pictureWidth, layout.pictureHeight, &cancel,
                                [&cutter](int y, const uint8_t* row) { cutter.Row(y, row); })) {
      case RowDecode::Done:
        return MakeSlide();
      case RowDecode::Failed:
        tiles.clear();
        Fail(cancel ? kLoaderCancelled : kLoaderUndecodable);
        return false;
      case RowDecode::WholePictureNeeded:
        tiles.clear();
        break;
    }
  }
  // Without a size from the header, the whole picture. A picture without
  // pixels cannot be tiled; treat it as undecodable.
  if (!picture->Decode(bytes, size, sized ? layout.pictureWidth : 0, sized ? layout.pictureHeight : 0, &cancel) ||
      picture->Width() < 1 || picture->Height() < 1) {
    Fail(cancel ? kLoaderCancelled : kLoaderUndecodable);
    return false;
  }
  state = kLoaderDecoded;
  if (!sized) StartTiles(picture->Width(), picture->Height());
  if (layout.pictureWidth != picture->Width() || layout.pictureHeight != picture->Height()) {
    state = kLoaderResizing;
    if (!picture->Resize(layout.pictureWidth, layout.pictureHeight)) {
      Fail(kLoaderOutOfMemory);
      return false;
    }
  }
  return CutTiles();
}

void CImgLoadThread::StartTiles(int32_t photoWidth, int32_t photoHeight) {
  const FittedSize need = NeededPictureSize(photoWidth, photoHeight, screen, cram != 0, cramSize);
  mipLevels = SlideMipLevels(need.width, need.height, photoWidth, photoHeight, screen, mipMap ? 4 : 1);
  layout = ComputeTileLayout(need.width, need.height, tileLimit);
}

bool CImgLoadThread::CutTiles() {
  state = kLoaderSplitting;
  TileCutter cutter(layout, mipLevels, tiles);
  if (cancel) {
    Fail(kLoaderCancelled);
    return false;
  }
  // Stand-in pictures without pixels give tiles without texels.
  if (picture->Pixels() != nullptr && !cutter.CutPicture(picture->Pixels())) {
    Fail(kLoaderOutOfMemory);
    return false;
  }
  return MakeSlide();
}

bool CImgLoadThread::MakeSlide() {
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
