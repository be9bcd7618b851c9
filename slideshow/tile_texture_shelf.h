// Tile textures kept after their slide is gone, for the next photograph's
// tiles of the same shape. Making and freeing a texture per tile per
// photograph costs time on every upload, and under a software driver the
// freed texture memory stays scattered, so a long run kept growing. Most
// photographs of a show are cut into tiles of one shape, so a slide's
// textures are nearly always what the next one needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <utility>

struct TileShape {
  int32_t width = 0;
  int32_t height = 0;
  int32_t mipLevels = 1;  // as asked of the texture, not as the card made it
  int32_t bits = 32;

  bool operator==(const TileShape& other) const {
    return width == other.width && height == other.height && mipLevels == other.mipLevels && bits == other.bits;
  }
  // What one texture of this shape holds, its mip levels counted as a third
  // on top; only used to bound the shelf.
  size_t Bytes() const {
    const size_t top = static_cast<size_t>(width) * height * (bits == 32 ? 4 : 2);
    return mipLevels > 1 ? top + top / 3 : top;
  }
};

template <typename Texture>
class TileTextureShelf {
 public:
  explicit TileTextureShelf(size_t capacityBytes) : capacity_(capacityBytes) {}

  // Keeps `texture` for a later Take; the textures kept longest go first
  // when the shelf would hold more than its capacity.
  void Keep(const TileShape& shape, std::unique_ptr<Texture> texture) {
    if (texture == nullptr || shape.Bytes() > capacity_) return;
    kept_.push_back(Entry{shape, std::move(texture)});
    held_ += shape.Bytes();
    while (held_ > capacity_) {
      held_ -= kept_.front().shape.Bytes();
      kept_.pop_front();
    }
  }

  // The texture kept most recently in this shape, or null.
  std::unique_ptr<Texture> Take(const TileShape& shape) {
    for (auto entry = kept_.rbegin(); entry != kept_.rend(); ++entry) {
      if (!(entry->shape == shape)) continue;
      std::unique_ptr<Texture> texture = std::move(entry->texture);
      held_ -= shape.Bytes();
      kept_.erase(std::next(entry).base());
      return texture;
    }
    return nullptr;
  }

  void Clear() {
    kept_.clear();
    held_ = 0;
  }

  size_t Count() const { return kept_.size(); }
  size_t HeldBytes() const { return held_; }

 private:
  struct Entry {
    TileShape shape;
    std::unique_ptr<Texture> texture;
  };
  size_t capacity_;
  size_t held_ = 0;
  std::list<Entry> kept_;
};
