// One slide: a grid of textured quads in world space that the slideshow
// places, zooms and fades. The mesh and the zoom are plain arithmetic; the
// textures are opaque here (SlideTexture) and made, drawn and released by
// the Direct3D side, which derives its own texture holder from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "slideshow/slide_layout.h"

// A tile's texture as the portable code sees it: something to delete.
class SlideTexture {
 public:
  virtual ~SlideTexture() = default;
};

struct SlideVertex {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float u = 0.0f;
  float v = 0.0f;
};

struct SlidePoint {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// Corner order of every tile and quad.
enum TileCorner { kUpperLeft = 0, kLowerLeft = 1, kLowerRight = 2, kUpperRight = 3 };

struct SlideTile {
  SlideTile();

  SlideVertex vertices[4];
  uint16_t indices[6];  // two triangles: 0 1 2, 0 2 3
  SlideTexture* texture = nullptr;
};

class CSlideImage {
 public:
  CSlideImage() = default;
  // Deletes the tiles' textures when ownsTextures is set.
  ~CSlideImage();
  CSlideImage(const CSlideImage&) = delete;
  CSlideImage& operator=(const CSlideImage&) = delete;

  // Proportions and zoom restrictions from the photograph's dims record.
  void SetDims(int32_t width, int32_t height, uint8_t horizontalOnlyFlag, uint8_t verticalOnlyFlag);
  // Makes empty tiles on the layout's grid: the grid lines where the tiles
  // meet, each tile's texture coordinates cut to the picture it holds.
  void AllocateTiles(const TileLayout& layout);
  // An even grid of whole tiles.
  void AllocateTiles(int32_t columnCount, int32_t rowCount);
  // Lays the grid out from `size`, the factors and `centre`; done on first
  // use, so callers set those first.
  void BuildMesh();
  bool HasMesh() const { return meshBuilt; }
  // Moves every grid point by step x zoomDirection x its offset from the
  // centre, so repeated steps scale the picture linearly about `centre`.
  void Zoom(float step);

#ifdef _WIN32
  // Draws every tile with its texture inside a scene of its own; a failed
  // scene start skips the slide (the graphics layer records it).
  void Draw();
#endif

  bool IsComplete() const { return tilesUploaded == columns * rows; }
  int32_t TilesUploaded() const { return tilesUploaded; }
  SlideTile& TileAt(int32_t column, int32_t row) { return tiles[row * columns + column]; }
  const SlideTile& TileAt(int32_t column, int32_t row) const { return tiles[row * columns + column]; }
  // Index of grid point (i, j), 0 <= i <= columns, 0 <= j <= rows.
  int32_t GridIndex(int32_t i, int32_t j) const { return j * (columns + 1) + i; }

  int32_t columns = 0;
  int32_t rows = 0;
  std::vector<SlideTile> tiles;
  std::vector<float> columnEdges;  // columns + 1 shares of the width, left to right
  std::vector<float> rowEdges;     // rows + 1 shares of the height, bottom to top
  int32_t tilesUploaded = 0;
  float widthFactor = 1.0f;
  float heightFactor = 1.0f;
  float zoomDirection = 1.0f;  // +1 zooming in, -1 zooming out
  float size = 1.0f;           // world length of the shorter side
  uint8_t horizontalOnly = 0;
  uint8_t verticalOnly = 0;
  SlidePoint centre;

  std::vector<SlidePoint> gridPositions;
  std::vector<SlidePoint> gridOffsets;
  std::vector<int32_t> quads;  // four grid indices per tile, in TileCorner order
  int32_t vertexCount = 0;
  bool meshBuilt = false;
  uint8_t ownsTextures = 1;
  int32_t photo = -1;  // the photograph it shows, by its index in the bundle

 private:
  void CopyCornersToTiles();
};
