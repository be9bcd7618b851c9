// An image that can be loaded and saved: what the slide loader, fast mode,
// the wallpaper step and the skins hold. Callers construct it, Load (and
// check for -1), optionally Resize its data, then draw or copy the pixels
// through GetObjectDataPtr(), and destroy it. One object is used by one
// thread at a time.
#pragma once

#include <cstddef>

#include "bundle/image_data.h"

// Codec ids from GetCodecIdFromExtension.
enum ImageCodec {
  ImageCodec_None = -1,
  ImageCodec_Bmp = 1,
  ImageCodec_Jpeg = 2,
  ImageCodec_Png = 3,
};

// What a codec is looked up for: reading (every format) or writing (BMP).
enum ImageCodecType {
  ImageCodecType_Read = 0,
  ImageCodecType_Write = 1,
};

class CImageObject {
 public:
  CImageObject() = default;
  virtual ~CImageObject() = default;
  CImageObject(const CImageObject&) = delete;
  CImageObject& operator=(const CImageObject&) = delete;

  // Decodes a JPEG, PNG or BMP file held in memory; options are unused
  // (null). 0 on success, -1 when the bytes are no usable picture, which
  // leaves the object empty. The buffer stays the caller's.
  long Load(const void* buffer, size_t size, void* options = nullptr);
  // The same from a file; the two numbers are unused (0).
  long Load(const char* path, void* options, int, int);

  // The pixel store, valid while the object lives.
  CImageData* GetObjectDataPtr() { return &data_; }
  const CImageData* GetObjectDataPtr() const { return &data_; }

  // The codec for a file extension ("bmp", ".JPG", ...; case does not
  // matter) and codec type; ImageCodec_None when there is none.
  static long GetCodecIdFromExtension(const char* extension, int codecType);
  // Writes the picture to path with a codec that can write (only BMP, as a
  // Windows bitmap file); options are unused. 0 on success, -1 otherwise.
  long Save(const char* path, long codecId, void* options);
  // Save as a Windows bitmap.
  bool SaveBitmap(const char* path) { return Save(path, ImageCodec_Bmp, nullptr) == 0; }

 private:
  CImageData data_;
};
