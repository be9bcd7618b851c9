#include "slideshow/image_loader.h"

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
    default: return "unknown";
  }
}

CImgLoadThread::CImgLoadThread(ImagingBackend* imagingBackend) : imaging(imagingBackend) {}

CImgLoadThread::~CImgLoadThread() {
  // Run uses our members, so the thread must end before they go.
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
  uint32_t size = 0;
  const uint8_t* bytes = source->Load(&size);
  if (bytes == nullptr) {
    Fail(kLoaderUnreadable);
    return 0;
  }

  state = kLoaderDecoding;
  // A picture without pixels cannot be tiled; treat it as undecodable.
  if (picture == nullptr || !picture->Decode(bytes, size) || picture->Width() < 1 ||
      picture->Height() < 1) {
    Fail(kLoaderUndecodable);
    return 0;
  }

  state = kLoaderDecoded;
  // The slide's proportions come from the dims record, not the picture.
  CSlideImage* made = new CSlideImage;
  made->SetDims(dims.width, dims.height, dims.horizontalOnly, dims.verticalOnly);

  layout = ComputeTileLayout(picture->Width(), picture->Height(), tileLimit, cram != 0, cramSize);
  if (!layout.single) {
    state = kLoaderSplitting;
    if (layout.resize) {
      state = kLoaderResizing;
      if (!picture->Resize(layout.pictureWidth, layout.pictureHeight)) {
        delete made;
        Fail(kLoaderUndecodable);
        return 0;
      }
    }
  }
  made->AllocateTiles(layout.columns, layout.rows, layout.sourceWidth, layout.sourceHeight);
  slide = made;

  cMonitorLock hold(lock);
  state = kLoaderReady;
  return 0;
}

bool CImgLoadThread::UploadStep() {
  if (!IsReady() || slide == nullptr) return false;
  if (slide->IsComplete()) return true;

  const int32_t index = slide->tilesUploaded;
  const TileUpload upload = TileUploadAt(layout, index);
  SlideTexture* texture = nullptr;
  if (imaging != nullptr && picture != nullptr) {
    texture = imaging->UploadTile(*picture, upload, textureBits, mipMap ? 4 : 1);
  }
  // A tile without texture still counts, or Finish would never end.
  slide->tiles[static_cast<size_t>(index)].texture = texture;
  slide->tilesUploaded = index + 1;
  if (!slide->IsComplete()) {
    state = kLoaderUploading;
    return false;
  }
  picture.reset();
  state = kLoaderComplete;
  return true;
}

CSlideImage* CImgLoadThread::Finish() {
  // Never touch the picture or the slide while the thread may still run.
  Stop();
  if (GetError() == kLoaderNoError && slide != nullptr) {
    while (!UploadStep()) {
    }
    state = kLoaderComplete;
  }
  picture.reset();
  handedOver = true;
  return slide;
}
