// The background half of making a slide: CImgLoadThread reads one
// photograph's bytes, decodes them at the size the screen needs, resamples
// and cuts the picture into tile texels on a below-normal-priority thread;
// the main thread then copies tiles into textures (UploadStep, as many as
// its time allows each frame), because only the rendering thread may touch
// the device.
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
#include <functional>
#include <memory>
#include <vector>

#include "bundle/image_data.h"
#include "bundle/image_records.h"
#include "foundation/thread.h"
#include "slideshow/slide_image.h"
#include "slideshow/slide_layout.h"
#include "slideshow/tile_pixels.h"

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
  kLoaderOutOfMemory = 5,   // the photograph is too large for the memory left
  kLoaderCancelled = 6,     // stopped on its way, the saver is ending
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
  // The photograph's upright size from its header alone; false when the
  // header does not tell.
  virtual bool ReadSize(const uint8_t* bytes, uint32_t size, int32_t* width, int32_t* height) = 0;
  // Decodes, at no less than needWidth x needHeight where the format can
  // decode smaller; gives up (false) once `cancel` is set.
  virtual bool Decode(const uint8_t* bytes, uint32_t size, int32_t needWidth, int32_t needHeight,
                      const std::atomic<bool>* cancel) = 0;
  // Decodes and resamples to exactly width x height, each row handed to
  // `sink` top down, without ever holding the picture, where the file
  // allows it; WholePictureNeeded asks for Decode and Resize instead.
  using RowSink = std::function<void(int y, const uint8_t* row)>;
  virtual RowDecode DecodeRows(const uint8_t* /*bytes*/, uint32_t /*size*/, int32_t /*width*/,
                               int32_t /*height*/, const std::atomic<bool>* /*cancel*/, const RowSink& /*sink*/) {
    return RowDecode::WholePictureNeeded;
  }
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  virtual bool Resize(int32_t width, int32_t height) = 0;
  // B G R A rows, top down, 4 x Width() bytes each; null for pictures
  // without pixels (the tests' stand-ins).
  virtual const uint8_t* Pixels() const = 0;
};

// Makes pictures and tile textures; the texture side runs on the main thread.
class ImagingBackend {
 public:
  virtual ~ImagingBackend() = default;
  virtual std::unique_ptr<SlidePicture> NewPicture() = 0;
  // A texture of tile.width x tile.height at `bits` per pixel with
  // `mipLevels` levels, copied from the tile's texels. May throw the
  // graphics layer's error, which the loader lets through.
  virtual SlideTexture* UploadTile(const TilePixels& tile, int32_t bits, int32_t mipLevels) = 0;
};

class CImgLoadThread : public cThread {
 public:
  explicit CImgLoadThread(ImagingBackend* imagingBackend);
  // Stops the thread (a decode in progress gives up); a slide never handed
  // over goes with the loader.
  ~CImgLoadThread() override;

  // The thread body: read, decode, resample, cut the tiles, then ready.
  int Run() override;

  void SetSource(std::unique_ptr<PhotoSource> photoSource, const ImageDims& photoDims);
  void SetTileLimit(int32_t limit) { tileLimit = limit; }
  void SetTextureBits(int32_t bits) { textureBits = bits; }
  void SetMipMap(uint8_t on) { mipMap = on; }
  void SetCram(uint8_t on) { cram = on; }
  void SetCramSize(int32_t pixels) { cramSize = pixels; }
  void SetScreen(const SlideScreen& slideScreen) { screen = slideScreen; }

  // Takes a fresh picture and starts the thread below normal priority.
  // When no thread can be made the load runs here, so the photo still shows.
  void Start(int32_t startClock);

  int32_t GetState() const { return state.load(); }
  int32_t GetError() const { return error.load(); }
  bool IsReady() const { return GetState() >= kLoaderReady && GetError() == kLoaderNoError; }
  // Every tile is on the card: the slide can be shown.
  bool IsComplete() const { return GetState() == kLoaderComplete && GetError() == kLoaderNoError; }
  // Copies the next tile into a texture once ready; true when the slide is
  // complete.
  bool UploadStep();
  // Uploads what remains and hands the slide over (null after an error).
  // The loader keeps the pointer; the caller owns it.
  CSlideImage* Finish();

  const TileLayout& Layout() const { return layout; }
  int32_t StartTime() const { return startTime; }

 private:
  void Fail(int32_t code) { error = code; }
  // The steps of Run; each false after it recorded the error.
  bool Prepare(const uint8_t* bytes, uint32_t size);
  // The picture size, tile layout and mip levels for a photograph of that size.
  void StartTiles(int32_t photoWidth, int32_t photoHeight);
  bool CutTiles();
  bool MakeSlide();

  ImagingBackend* imaging;
  std::unique_ptr<PhotoSource> source;
  ImageDims dims;  // the photograph's proportions and zoom restrictions
  SlideScreen screen;
  uint8_t mipMap = 1;
  int32_t mipLevels = 1;  // what this photograph's tiles get on this screen
  uint8_t cram = 0;
  int32_t tileLimit = 2048;
  int32_t cramSize = 1536;
  int32_t textureBits = 32;
  int32_t startTime = 0;
  TileLayout layout;
  std::vector<TilePixels> tiles;  // freed one by one as they are uploaded
  std::atomic<int32_t> state{kLoaderCreated};
  std::atomic<int32_t> error{kLoaderNoError};
  std::atomic<bool> cancel{false};
  CSlideImage* slide = nullptr;
  bool handedOver = false;
  std::unique_ptr<SlidePicture> picture;
  cMonitor lock;
};
