// The bytes a decoder reads: either its own copy (a built-in track, a test)
// or a range of a file mapped into memory, so opening a track does not read
// the file first. Read like a vector; a decoder may patch bytes (the view of
// a file is private).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class MappedFile;

class AudioBytes {
 public:
  AudioBytes();
  // Takes the copy over (implicit, so callers may pass a vector).
  AudioBytes(std::vector<uint8_t> owned);  // NOLINT
  // [offset, offset + length) of the file, or to its end when length is 0;
  // empty when the file cannot be mapped or the range is empty or larger
  // than maxBytes.
  static AudioBytes MapFile(const char* path, size_t offset, size_t length, size_t maxBytes);

  ~AudioBytes();
  AudioBytes(AudioBytes&& other) noexcept;
  AudioBytes& operator=(AudioBytes&& other) noexcept;
  AudioBytes(const AudioBytes&) = delete;
  AudioBytes& operator=(const AudioBytes&) = delete;

  const uint8_t* data() const { return begin_; }
  uint8_t* data() { return begin_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  uint8_t operator[](size_t i) const { return begin_[i]; }
  uint8_t& operator[](size_t i) { return begin_[i]; }

 private:
  std::vector<uint8_t> owned_;
  std::unique_ptr<MappedFile> mapped_;
  uint8_t* begin_ = nullptr;
  size_t size_ = 0;
};
