// Fast mode's photograph on a worker thread: the bytes read, decoded at the
// size the screen shows and fitted inside it, so the main thread only
// copies a ready picture and input stays live while a large one loads.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "bundle/image_records.h"
#include "foundation/thread.h"
#include "slideshow/image_loader.h"
#include "slideshow/picture_fit.h"

class FastPictureLoader : public cThread {
 public:
  // `dims`: the photograph's record, whose proportions the fitted size
  // takes (null: the picture's own). The picture comes from `imaging`.
  FastPictureLoader(ImagingBackend& imaging, std::unique_ptr<PhotoSource> source, const ImageDims* dims,
                    int32_t screenWidth, int32_t screenHeight);
  // A load under way gives up and the thread ends.
  ~FastPictureLoader() override;

  // On a thread of its own below normal priority; here when none can be made.
  void Begin();
  int Run() override;
  bool Done() const { return done_.load(); }
  // The fitted picture once Done; null when the photograph failed.
  std::unique_ptr<SlidePicture> Take();

 private:
  bool Load();

  std::unique_ptr<SlidePicture> picture_;
  std::unique_ptr<PhotoSource> source_;
  bool hasDims_ = false;
  ImageDims dims_;
  int32_t screenWidth_;
  int32_t screenHeight_;
  bool loaded_ = false;
  std::atomic<bool> done_{false};
  std::atomic<bool> cancel_{false};
};
