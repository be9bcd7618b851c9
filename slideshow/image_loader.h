// The background half of making a slide: CImgLoadThread reads one
// photograph's bytes, decodes them and cuts the picture into tiles on a
// below-normal-priority thread; the main thread then uploads one tile per
// frame (UploadStep) or all that remain at once (Finish), because only the
// rendering thread may touch the device.
//
// The loader reaches the bundle, the imaging library and the textures only
// through the three small interfaces below, which the Windows side
// implements over VFFILECAT/VFFILE, the imaging layer and cTexture.
//
// States and errors are read by the main thread without locking; the
// change to kLoaderReady is the thread's last act and is made under the
// loader's lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "bundle/image_records.h"
#include "foundation/thread.h"
#include "slideshow/slide_image.h"
#include "slideshow/slide_layout.h"

enum LoaderState {
  kLoaderCreated = 0,
  kLoaderReading = 1,
  kLoaderDecoding = 2,
  kLoaderDecoded = 3,    // the slide exists
  kLoaderSplitting = 4,
  kLoaderResizing = 5,
  kLoaderReady = 8,      // the thread has finished; tiles may be uploaded
  kLoaderUploading = 9,
  kLoaderComplete = 10,  // every tile uploaded, picture released
};

enum LoaderError {
  kLoaderNoError = 0,
  kLoaderFileNotFound = 1,  // the photograph is not in the category
  kLoaderNoCategory = 2,
  kLoaderUnreadable = 3,    // its bytes could not be read
  kLoaderUndecodable = 4,
};

const char* LoaderStateName(int32_t state);
const char* LoaderErrorName(int32_t error);

// Where one photograph's bytes come from (an entry of the "image" category).
class PhotoSource {
 public:
  virtual ~PhotoSource() = default;
  // kLoaderNoError, or kLoaderNoCategory / kLoaderFileNotFound.
  virtual int32_t Locate() = 0;
  // The bytes (owned by the source, kept until it is destroyed); null when
  // unreadable.
  virtual const uint8_t* Load(uint32_t* size) = 0;
};

// A decoded picture of the imaging library.
class SlidePicture {
 public:
  virtual ~SlidePicture() = default;
  virtual bool Decode(const uint8_t* bytes, uint32_t size) = 0;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  virtual bool Resize(int32_t width, int32_t height) = 0;
};

// Makes pictures and tile textures; the texture side runs on the main thread.
class ImagingBackend {
 public:
  virtual ~ImagingBackend() = default;
  virtual std::unique_ptr<SlidePicture> NewPicture() = 0;
  // A texture of upload.textureWidth x textureHeight at `bits` per pixel
  // with `mipLevels` levels, filled from `picture` as upload.fill says. May
  // throw the graphics layer's error, which the loader lets through.
  virtual SlideTexture* UploadTile(SlidePicture& picture, const TileUpload& upload, int32_t bits,
                                   int32_t mipLevels) = 0;
};

class CImgLoadThread : public cThread {
 public:
  explicit CImgLoadThread(ImagingBackend* imagingBackend);
  // Waits for the thread; a slide never handed over goes with the loader.
  ~CImgLoadThread() override;

  // The thread body: read, decode, lay out the tiles, resize, then ready.
  int Run() override;

  void SetSource(std::unique_ptr<PhotoSource> photoSource, const ImageDims& photoDims);
  void SetTileLimit(int32_t limit) { tileLimit = limit; }
  void SetTextureBits(int32_t bits) { textureBits = bits; }
  void SetMipMap(uint8_t on) { mipMap = on; }
  void SetCram(uint8_t on) { cram = on; }
  void SetCramSize(int32_t pixels) { cramSize = pixels; }

  // Takes a fresh picture and starts the thread below normal priority.
  // When no thread can be made the load runs here, so the photo still shows.
  void Start(int32_t startClock);

  int32_t GetState() const { return state.load(); }
  int32_t GetError() const { return error.load(); }
  bool IsReady() const { return GetState() >= kLoaderReady && GetError() == kLoaderNoError; }
  // Uploads the next tile once ready; true when the slide is complete.
  bool UploadStep();
  // Uploads what remains, releases the picture and hands the slide over
  // (null after an error). The loader keeps the pointer; the caller owns it.
  CSlideImage* Finish();

  const TileLayout& Layout() const { return layout; }
  int32_t StartTime() const { return startTime; }

 private:
  void Fail(int32_t code) { error = code; }

  ImagingBackend* imaging;
  std::unique_ptr<PhotoSource> source;
  ImageDims dims;  // the photograph's proportions and zoom restrictions
  uint8_t mipMap = 1;
  uint8_t cram = 0;
  int32_t tileLimit = 2048;
  int32_t cramSize = 1536;
  int32_t textureBits = 32;
  int32_t startTime = 0;
  TileLayout layout;
  std::atomic<int32_t> state{kLoaderCreated};
  std::atomic<int32_t> error{kLoaderNoError};
  CSlideImage* slide = nullptr;
  bool handedOver = false;
  std::unique_ptr<SlidePicture> picture;
  cMonitor lock;
};
