// JPEG decoding through libjpeg (libjpeg-turbo): baseline, progressive,
// grayscale, RGB, CMYK and YCCK (Adobe's inverted CMYK too), at libjpeg's
// DCT scales, upright by the file's EXIF orientation, into BGRA pixels.
//
// libjpeg never ends the process from here: its errors, the warnings that
// mean damaged pixels, a memory allocation it cannot make and a cancel
// request all become a false return. This header needs no libjpeg header.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// The largest of libjpeg's scale denominators 8, 4, 2 and 1 that still
// leaves a width x height picture at least needWidth x needHeight (libjpeg
// rounds scaled sides up). 1 when even the full size falls short. A need of
// 0 or less asks nothing of that side.
int ChooseJpegScale(int width, int height, int needWidth, int needHeight);

// Where the start-of-image marker begins in data that starts like a JPEG
// (after any fill bytes); size when the data is no JPEG.
size_t JpegStart(const uint8_t* data, size_t size);

// One decode: ReadHeader, then ScaleToAtLeast, then ReadUpright, each once.
class JpegReader {
 public:
  // The bytes stay the caller's and must outlive the reader. libjpeg's own
  // working memory (a progressive file keeps the coefficients of the whole
  // picture) is held to memoryLimit. Once *cancel is set, the call under
  // way stops at its next row and fails.
  JpegReader(const uint8_t* data, size_t size, uint64_t memoryLimit,
             const std::atomic<bool>* cancel);
  ~JpegReader();
  JpegReader(const JpegReader&) = delete;
  JpegReader& operator=(const JpegReader&) = delete;

  // Reads the markers up to the first scan, the EXIF orientation among
  // them. False for anything that is not a JPEG libjpeg can decode to
  // colour or grey.
  bool ReadHeader();
  // The upright size: the full size after ReadHeader, the scaled one after
  // ScaleToAtLeast.
  int UprightWidth() const;
  int UprightHeight() const;

  // Picks the scale by ChooseJpegScale for an upright needWidth x needHeight.
  bool ScaleToAtLeast(int needWidth, int needHeight);

  // Decodes into UprightWidth() x UprightHeight() pixels, B, G, R, A = 255,
  // rows packed top down.
  bool ReadUpright(uint8_t* pixels);

  // True when the file is stored the way up it is shown (no EXIF turn or
  // mirror), so its rows come out upright one by one.
  bool StoredUpright() const;
  using RowSink = std::function<void(const uint8_t* row)>;
  // The same decode, each B G R A row handed to `sink` top down and only
  // valid during the call; false for a file not StoredUpright. A sink may
  // throw (std::bad_alloc); the decode then ends there.
  bool ReadUprightRows(const RowSink& sink);

 private:
  struct State;
  bool SwapsSides() const;
  bool Decompress(uint8_t* pixels, const RowSink* sink);
  void ReadRows(uint8_t* pixels, const RowSink* sink);

  const uint8_t* data_;
  size_t size_;
  std::unique_ptr<State> state_;
};
