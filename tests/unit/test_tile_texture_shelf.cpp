#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "slideshow/tile_texture_shelf.h"

namespace {

// Records which textures were released, so a test sees what the shelf let go.
struct Texture {
  Texture(int id, std::vector<int>* released) : id(id), released(released) {}
  ~Texture() { released->push_back(id); }
  int id;
  std::vector<int>* released;
};

const TileShape kTile{256, 256, 4, 32};         // 256 KB and a third
const TileShape kSmallTile{128, 128, 1, 32};    // 64 KB
const size_t kTwoTiles = 2 * kTile.Bytes();

}  // namespace

TEST(TileTextureShelf, GivesBackOnlyTexturesOfTheSameShapeNewestFirst) {
  std::vector<int> released;
  TileTextureShelf<Texture> shelf(kTwoTiles + kSmallTile.Bytes());
  shelf.Keep(kTile, std::make_unique<Texture>(1, &released));
  shelf.Keep(kSmallTile, std::make_unique<Texture>(2, &released));
  shelf.Keep(kTile, std::make_unique<Texture>(3, &released));

  EXPECT_EQ(shelf.Take(TileShape{256, 256, 1, 32}), nullptr);  // no mip levels: another texture
  EXPECT_EQ(shelf.Take(TileShape{256, 256, 4, 16}), nullptr);
  std::unique_ptr<Texture> taken = shelf.Take(kTile);
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(taken->id, 3);
  EXPECT_EQ(shelf.Take(kTile)->id, 1);
  EXPECT_EQ(shelf.Take(kTile), nullptr);
  EXPECT_EQ(shelf.Count(), 1u);
  EXPECT_EQ(shelf.HeldBytes(), kSmallTile.Bytes());
  EXPECT_EQ(released, (std::vector<int>{1}));  // the taken texture 1 died with its temporary
}

TEST(TileTextureShelf, LetsTheOldestGoBeyondItsCapacity) {
  std::vector<int> released;
  TileTextureShelf<Texture> shelf(kTwoTiles);
  for (int id = 1; id <= 4; ++id) shelf.Keep(kTile, std::make_unique<Texture>(id, &released));
  EXPECT_EQ(released, (std::vector<int>{1, 2}));
  EXPECT_EQ(shelf.HeldBytes(), kTwoTiles);

  // A texture larger than the whole shelf is released at once, the rest kept.
  shelf.Keep(TileShape{2048, 2048, 1, 32}, std::make_unique<Texture>(5, &released));
  EXPECT_EQ(released, (std::vector<int>{1, 2, 5}));
  EXPECT_EQ(shelf.Count(), 2u);

  shelf.Clear();
  EXPECT_EQ(released, (std::vector<int>{1, 2, 5, 3, 4}));
  EXPECT_EQ(shelf.HeldBytes(), 0u);
  EXPECT_EQ(shelf.Take(kTile), nullptr);
}
