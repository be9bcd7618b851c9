#include "slideshow/slide_image.h"

#include <algorithm>

namespace {

const float kCornerU[4] = {0.0f, 0.0f, 1.0f, 1.0f};
const float kCornerV[4] = {0.0f, 1.0f, 1.0f, 0.0f};
const uint16_t kTileIndices[6] = {0, 1, 2, 0, 2, 3};

}  // namespace

SlideTile::SlideTile() {
  for (int corner = 0; corner < 4; ++corner) {
    vertices[corner].u = kCornerU[corner];
    vertices[corner].v = kCornerV[corner];
  }
  for (int i = 0; i < 6; ++i) indices[i] = kTileIndices[i];
}

CSlideImage::~CSlideImage() {
  if (!ownsTextures) return;
  for (SlideTile& tile : tiles) delete tile.texture;
}

void CSlideImage::SetDims(int32_t width, int32_t height, uint8_t horizontalOnlyFlag,
                          uint8_t verticalOnlyFlag) {
  widthFactor = heightFactor = 1.0f;
  // A broken record keeps the square proportions rather than dividing by 0.
  if (width > 0 && height > 0) {
    if (height < width) {
      heightFactor = static_cast<float>(height) / static_cast<float>(width);
    } else if (width < height) {
      widthFactor = static_cast<float>(width) / static_cast<float>(height);
    }
  }
  horizontalOnly = horizontalOnlyFlag;
  verticalOnly = verticalOnlyFlag;
}

void CSlideImage::AllocateTiles(const TileLayout& layout) {
  AllocateTiles(layout.columns, layout.rows);
  for (int32_t i = 0; i <= columns; ++i) columnEdges[static_cast<size_t>(i)] = ColumnEdge(layout, i);
  for (int32_t j = 0; j <= rows; ++j) rowEdges[static_cast<size_t>(j)] = RowEdge(layout, j);
  for (int32_t index = 0; index < columns * rows; ++index) {
    const TileUpload upload = TileUploadAt(layout, index);
    SlideVertex* v = tiles[static_cast<size_t>(index)].vertices;
    for (int corner = 0; corner < 4; ++corner) {
      v[corner].u = kCornerU[corner] * upload.uMax;
      v[corner].v = kCornerV[corner] * upload.vMax;
    }
  }
}

void CSlideImage::AllocateTiles(int32_t columnCount, int32_t rowCount) {
  columns = columnCount > 0 ? columnCount : 0;
  rows = rowCount > 0 ? rowCount : 0;
  tiles.assign(static_cast<size_t>(columns) * static_cast<size_t>(rows), SlideTile());
  columnEdges.resize(static_cast<size_t>(columns) + 1);
  rowEdges.resize(static_cast<size_t>(rows) + 1);
  for (int32_t i = 0; i <= columns; ++i) columnEdges[static_cast<size_t>(i)] = static_cast<float>(i) / std::max(columns, 1);
  for (int32_t j = 0; j <= rows; ++j) rowEdges[static_cast<size_t>(j)] = static_cast<float>(j) / std::max(rows, 1);
  tilesUploaded = 0;
  meshBuilt = false;
}

void CSlideImage::BuildMesh() {
  meshBuilt = true;
  gridPositions.clear();
  gridOffsets.clear();
  quads.clear();
  vertexCount = 0;
  if (columns < 1 || rows < 1) return;

  float width;
  float height;
  if (widthFactor >= heightFactor) {
    width = size * widthFactor / heightFactor;
    height = size;
  } else {
    width = size;
    height = size * heightFactor / widthFactor;
  }
  vertexCount = (columns + 1) * (rows + 1);
  gridPositions.resize(static_cast<size_t>(vertexCount));
  gridOffsets.resize(static_cast<size_t>(vertexCount));
  for (int32_t j = 0; j <= rows; ++j) {
    for (int32_t i = 0; i <= columns; ++i) {
      SlidePoint& point = gridPositions[GridIndex(i, j)];
      point.x = -width / 2 + columnEdges[static_cast<size_t>(i)] * width;
      point.y = -height / 2 + rowEdges[static_cast<size_t>(j)] * height;
      point.z = 0.0f;
      SlidePoint& offset = gridOffsets[GridIndex(i, j)];
      offset.x = point.x - centre.x;
      offset.y = point.y - centre.y;
      offset.z = point.z - centre.z;
    }
  }
  quads.reserve(static_cast<size_t>(columns) * static_cast<size_t>(rows) * 4);
  for (int32_t r = 0; r < rows; ++r) {
    for (int32_t c = 0; c < columns; ++c) {
      quads.push_back(GridIndex(c, r + 1));      // upper left
      quads.push_back(GridIndex(c, r));          // lower left
      quads.push_back(GridIndex(c + 1, r));      // lower right
      quads.push_back(GridIndex(c + 1, r + 1));  // upper right
    }
  }
  CopyCornersToTiles();
}

void CSlideImage::Zoom(float step) {
  if (!meshBuilt) BuildMesh();
  const float amount = step * zoomDirection;
  for (size_t p = 0; p < gridPositions.size(); ++p) {
    gridPositions[p].x += amount * gridOffsets[p].x;
    gridPositions[p].y += amount * gridOffsets[p].y;
    gridPositions[p].z += amount * gridOffsets[p].z;
  }
  CopyCornersToTiles();
}

void CSlideImage::CopyCornersToTiles() {
  for (size_t t = 0; t < tiles.size() && t * 4 + 3 < quads.size(); ++t) {
    for (int corner = 0; corner < 4; ++corner) {
      const SlidePoint& point = gridPositions[quads[t * 4 + corner]];
      SlideVertex& vertex = tiles[t].vertices[corner];
      vertex.x = point.x;
      vertex.y = point.y;
      vertex.z = point.z;
    }
  }
}
