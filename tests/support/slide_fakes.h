// Stand-ins for the bundle, the imaging library and the textures, so the
// loader and the slideshow run natively. A fake photograph's bytes are its
// width and height; anything else fails to decode.
#pragma once

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#include "slideshow/image_loader.h"
#include "slideshow/slideshow.h"

struct FakePhoto {
  int32_t width = 512;
  int32_t height = 512;
  int32_t locate = kLoaderNoError;  // what Locate reports
  bool readable = true;
  bool decodable = true;
  bool outOfMemory = false;  // decoding runs out of memory
  // While set and false, decoding waits (a photograph that is late).
  std::shared_ptr<std::atomic<bool>> gate;
};

class FakePhotoSource : public PhotoSource {
 public:
  explicit FakePhotoSource(const FakePhoto& photo) : photo_(photo) {
    bytes_.resize(photo.outOfMemory ? 9 : photo.decodable ? 8 : 3);
    if (photo.decodable) {
      std::memcpy(bytes_.data(), &photo.width, 4);
      std::memcpy(bytes_.data() + 4, &photo.height, 4);
    }
  }
  int32_t Locate() override { return photo_.locate; }
  const uint8_t* Load(uint32_t* size) override {
    if (!photo_.readable) return nullptr;
    *size = static_cast<uint32_t>(bytes_.size());
    return bytes_.data();
  }

 private:
  FakePhoto photo_;
  std::vector<uint8_t> bytes_;
};

// Decoding is reading the size back, after the gate (if any) opened.
class FakePicture : public SlidePicture {
 public:
  explicit FakePicture(std::shared_ptr<std::atomic<bool>> gate = nullptr) : gate_(std::move(gate)) {}
  bool ReadSize(const uint8_t* bytes, uint32_t size, int32_t* width, int32_t* height) override {
    if (size != 8) return false;
    std::memcpy(width, bytes, 4);
    std::memcpy(height, bytes + 4, 4);
    return true;
  }
  bool Decode(const uint8_t* bytes, uint32_t size, int32_t needWidth, int32_t needHeight,
              const std::atomic<bool>* cancel) override {
    neededWidth = needWidth;
    neededHeight = needHeight;
    if (size == 9) throw std::bad_alloc();
    while (gate_ != nullptr && !gate_->load()) {
      if (cancel != nullptr && cancel->load()) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return ReadSize(bytes, size, &width_, &height_);
  }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  bool Resize(int32_t width, int32_t height) override {
    width_ = width;
    height_ = height;
    return true;
  }
  const uint8_t* Pixels() const override { return nullptr; }

  int32_t neededWidth = 0;
  int32_t neededHeight = 0;

 private:
  std::shared_ptr<std::atomic<bool>> gate_;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

inline std::atomic<int>& LiveFakeTextures() {
  static std::atomic<int> live{0};
  return live;
}

class FakeTexture : public SlideTexture {
 public:
  FakeTexture() { ++LiveFakeTextures(); }
  ~FakeTexture() override { --LiveFakeTextures(); }
};

struct RecordedUpload {
  int32_t width;
  int32_t height;
  int32_t bits;
  int32_t mipLevels;
};

class FakeImaging : public ImagingBackend {
 public:
  std::unique_ptr<SlidePicture> NewPicture() override { return std::make_unique<FakePicture>(nextGate); }
  SlideTexture* UploadTile(const TilePixels& tile, int32_t bits, int32_t mipLevels) override {
    uploads.push_back({tile.width, tile.height, bits, mipLevels});
    if (onUpload) onUpload();
    return new FakeTexture;
  }

  std::vector<RecordedUpload> uploads;
  // Runs in each upload: a card that makes some of them wait, say.
  std::function<void()> onUpload;
  // The gate of the pictures made from now on.
  std::shared_ptr<std::atomic<bool>> nextGate;
};

class FakeSlideshowHost : public SlideshowHost {
 public:
  bool OpenBundle(const char*) override { return openable; }
  int32_t PhotoCount() const override { return static_cast<int32_t>(photos.size()); }
  // Photograph i is 1000 wide and 100 x (i + 1) high, so a slide's
  // heightFactor names its photograph; `square` makes them all 1000 x 1000.
  ImageDims DimsOf(int32_t photo) override {
    ImageDims dims;
    dims.width = 1000;
    dims.height = square ? 1000 : 100 * (photo + 1);
    dims.horizontalOnly = horizontalOnly;
    dims.verticalOnly = verticalOnly;
    return dims;
  }
  std::unique_ptr<PhotoSource> PhotoSourceOf(int32_t photo) override {
    queued.push_back(photo);
    // The loader takes its picture right after its source.
    imaging.nextGate = photos[static_cast<size_t>(photo)].gate;
    return std::make_unique<FakePhotoSource>(photos[static_cast<size_t>(photo)]);
  }
  ImagingBackend* Imaging() override { return &imaging; }
  void OpenCaptions(int32_t tileLimit, int32_t bits) override { captionsOpened = {tileLimit, bits}; }
  void RenderCaption(int32_t slot, int32_t photo) override { captions.push_back({slot, photo}); }
  void CaptionStep(int32_t) override {}
  void ReleasePhoto(int32_t photo) override { released.push_back(photo); }
  uint32_t TimeSeconds() override {
    ++timeCalls;
    return seconds++;
  }
  double StopwatchMs() override {
    stopwatch += stopwatchStep;
    return stopwatch;
  }

  std::vector<FakePhoto> photos;
  bool openable = true;
  bool square = false;
  uint8_t horizontalOnly = 0;
  uint8_t verticalOnly = 0;
  FakeImaging imaging;
  std::vector<int32_t> queued;
  std::vector<int32_t> released;
  std::vector<std::pair<int32_t, int32_t>> captions;
  std::pair<int32_t, int32_t> captionsOpened{0, 0};  // tile limit and bits
  uint32_t seconds = 1000;
  int timeCalls = 0;
  double stopwatch = 0.0;
  double stopwatchStep = 0.0;
};

// The photograph a slide of FakeSlideshowHost came from.
inline int PhotoOf(const CSlideImage* slide) {
  return slide == nullptr ? -1 : static_cast<int>(slide->heightFactor * 10.0f + 0.5f) - 1;
}

// Waits until a loader's thread is done, so tests never race it.
inline bool WaitForLoader(const CImgLoadThread* loader) {
  for (int i = 0; i < 5000 && loader != nullptr; ++i) {
    if (loader->GetState() >= kLoaderReady || loader->GetError() != kLoaderNoError) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return loader == nullptr;
}
