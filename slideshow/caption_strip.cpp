#include "slideshow/caption_strip.h"

void CaptionStrip::Build(int32_t gridColumns, int32_t gridRows, cTexture* const* textures) {
  columns = gridColumns < 1 ? 1 : gridColumns;
  rows = gridRows < 1 ? 1 : gridRows;
  tiles.assign(static_cast<size_t>(columns * rows), CaptionStripTile());
  const float cw = stripWidth / static_cast<float>(columns);
  const float ch = stripHeight / static_cast<float>(rows);
  for (int32_t j = 0; j < rows; ++j) {
    for (int32_t i = 0; i < columns; ++i) {
      CaptionStripTile& t = tiles[static_cast<size_t>(i + j * columns)];
      t.left = static_cast<float>(i) * cw - stripWidth / 2.0f;
      t.right = static_cast<float>(i + 1) * cw - stripWidth / 2.0f;
      t.bottom = static_cast<float>(j) * ch - stripHeight / 2.0f;
      t.top = static_cast<float>(j + 1) * ch - stripHeight / 2.0f;
    }
  }
  SetTextures(textures);
}

void CaptionStrip::SetTextures(cTexture* const* textures) {
  for (size_t k = 0; k < tiles.size(); ++k) tiles[k].texture = textures != nullptr ? textures[k] : nullptr;
}
