// The slideshow's world made of real parts: its own reader of "images.bdl"
// with the "image", "dims" and "caps" categories and their tables, the
// photographs' bytes through the bundle entries, and pictures decoded by the
// imaging layer. Only the tile textures differ between the Direct3D side and
// the native benchmarks, so they come from the ImagingBackend handed in.
// Captions go to the CaptionTarget handed in, if any (the Direct3D slots).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bundle/bundle.h"
#include "bundle/image_object.h"
#include "bundle/image_records.h"
#include "slideshow/image_loader.h"
#include "slideshow/slideshow.h"

// A picture of the imaging layer, the pixels the tiles are filled from.
class ImagePicture : public SlidePicture {
 public:
  bool ReadSize(const uint8_t* bytes, uint32_t size, int32_t* width, int32_t* height) override;
  bool Decode(const uint8_t* bytes, uint32_t size, int32_t needWidth, int32_t needHeight,
              const std::atomic<bool>* cancel) override;
  RowDecode DecodeRows(const uint8_t* bytes, uint32_t size, int32_t width, int32_t height,
                       const std::atomic<bool>* cancel, const RowSink& sink) override {
    return DecodeRowsAtSize(bytes, size, width, height, cancel, sink);
  }
  int32_t Width() const override;
  int32_t Height() const override;
  bool Resize(int32_t width, int32_t height) override;
  const uint8_t* Pixels() const override;
  CImageData& Data() { return *object.GetObjectDataPtr(); }

 private:
  CImageObject object;
};

// One entry of the "image" category. The bytes stay cached in the entry,
// so a photograph shown again is not read again.
class BundlePhotoSource : public PhotoSource {
 public:
  BundlePhotoSource(VFFILECAT* imageCategory, VFFILE* imageFile)
      : category(imageCategory), file(imageFile) {}
  int32_t Locate() override;
  const uint8_t* Load(uint32_t* size) override;

 private:
  VFFILECAT* category;
  VFFILE* file;
};

// Where caption texts are rendered: the two caption slots.
class CaptionTarget {
 public:
  virtual ~CaptionTarget() = default;
  virtual void Open(int32_t tileLimit, int32_t textureBits) = 0;
  // `text` is null when the bundle has no caption records.
  virtual void Render(int32_t slot, const char* text) = 0;
  virtual void Step(int32_t slot) = 0;
};

class BundleSlideshowHost : public SlideshowHost {
 public:
  // `textures` makes the tile textures, `captions` (may be null) draws the
  // captions; neither is owned.
  explicit BundleSlideshowHost(ImagingBackend* textures, CaptionTarget* captionTarget = nullptr)
      : imaging(textures), captions(captionTarget) {}

  bool OpenBundle(const char* path) override;
  int32_t PhotoCount() const override { return static_cast<int32_t>(photos.size()); }
  ImageDims DimsOf(int32_t photo) override;
  std::unique_ptr<PhotoSource> PhotoSourceOf(int32_t photo) override;
  ImagingBackend* Imaging() override { return imaging; }
  void OpenCaptions(int32_t tileLimit, int32_t textureBits) override;
  void RenderCaption(int32_t slot, int32_t photo) override;
  void CaptionStep(int32_t slot) override;
  void ReleasePhoto(int32_t photo) override;
  uint32_t TimeSeconds() override;
  double StopwatchMs() override;

  // The lookup rule of the records: exact name, else entry 0; null for an
  // empty table.
  const ImageDims* FindDims(const VFFILE* file) const;
  const ImageCaption* FindCaption(const VFFILE* file) const;
  VFFILE* PhotoFile(int32_t photo) const;
  VFFILECAT* ImageCategory() const { return imageCategory; }

 private:
  ImagingBackend* imaging;
  CaptionTarget* captions;
  VFBUNDLE bundle;
  VFFILECAT* imageCategory = nullptr;
  std::vector<VFFILE*> photos;  // the "image" category in directory order
  std::vector<ImageDims> dimsTable;
  std::vector<ImageCaption> captionTable;
};
