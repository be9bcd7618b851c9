// The quads that show one caption texture set: a grid of tiles centred on
// the origin, tile (column i, row j) showing texture i + j x columns, rows
// counted from the bottom. The textures belong to the caption slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class cTexture;

struct CaptionStripTile {
  float left = 0, right = 0, bottom = 0, top = 0;
  // Texture coordinates: (0, 0) at the upper left, (uMax, vMax) at the lower right.
  float uMax = 1.0f, vMax = 1.0f;
  cTexture* texture = nullptr;
};

class CaptionStrip {
 public:
  float stripWidth = 1.0f;
  float stripHeight = 1.0f;

  void Build(int32_t gridColumns, int32_t gridRows, cTexture* const* textures);
  // Gives tile (i, j) texture i + j x columns of the new set.
  void SetTextures(cTexture* const* textures);
  int32_t Columns() const { return columns; }
  int32_t Rows() const { return rows; }
  const CaptionStripTile& Tile(int32_t column, int32_t row) const {
    return tiles[static_cast<size_t>(column + row * columns)];
  }
#ifdef _WIN32
  // Each tile inside its own scene. 32-bit textures blend by their alpha
  // times `alpha`; 16-bit ones by colour, scaled by `alpha`.
  void Draw(float alpha, int32_t bits);
#endif

 private:
  int32_t columns = 1;
  int32_t rows = 1;
  std::vector<CaptionStripTile> tiles;
};
