#include "audio/audio_bytes.h"

#include <utility>

#include "foundation/mapped_file.h"

AudioBytes::AudioBytes(std::vector<uint8_t> owned)
    : owned_(std::move(owned)), begin_(owned_.data()), size_(owned_.size()) {}

AudioBytes AudioBytes::MapFile(const char* path, size_t offset, size_t length, size_t maxBytes) {
  AudioBytes bytes;
  std::unique_ptr<MappedFile> file = MappedFile::Open(path);
  if (file == nullptr || file->size() <= offset) return bytes;
  size_t size = file->size() - offset;
  if (length > 0 && length < file->size()) size = length > offset ? length - offset : 0;
  if (size == 0 || size > maxBytes) return bytes;
  bytes.begin_ = file->data() + offset;
  bytes.size_ = size;
  bytes.mapped_ = std::move(file);
  return bytes;
}

AudioBytes::AudioBytes() = default;
AudioBytes::~AudioBytes() = default;

AudioBytes::AudioBytes(AudioBytes&& other) noexcept { *this = std::move(other); }

AudioBytes& AudioBytes::operator=(AudioBytes&& other) noexcept {
  if (this == &other) return *this;
  owned_ = std::move(other.owned_);
  mapped_ = std::move(other.mapped_);
  // A moved vector keeps its buffer, so the range stays valid either way.
  begin_ = other.begin_;
  size_ = other.size_;
  other.begin_ = nullptr;
  other.size_ = 0;
  return *this;
}
