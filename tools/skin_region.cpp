#include "tools/skin_region.h"

#include <cstddef>
#include <utility>

#include "bundle/byte_order.h"

namespace {

struct Run {
  int32_t left, right;
  bool operator==(const Run& other) const { return left == other.left && right == other.right; }
};

std::vector<Run> RowRuns(const RegionMask& mask, int y) {
  std::vector<Run> runs;
  const uint8_t* row = &mask.inside[static_cast<size_t>(y) * mask.width];
  for (int x = 0; x < mask.width;) {
    if (!row[x]) {
      ++x;
      continue;
    }
    const int start = x;
    while (x < mask.width && row[x]) ++x;
    runs.push_back({start, x});
  }
  return runs;
}

void AppendBand(const std::vector<Run>& runs, int32_t top, int32_t bottom, std::vector<Rect>& rects) {
  for (const Run& run : runs) rects.push_back({run.left, top, run.right, bottom});
}

}  // namespace

RegionMask MaskFromAlpha(const uint8_t* pixels, int width, int height) {
  RegionMask mask;
  if (width <= 0 || height <= 0) return mask;
  mask.width = width;
  mask.height = height;
  const size_t count = static_cast<size_t>(width) * height;
  mask.inside.resize(count);
  for (size_t i = 0; i < count; ++i) mask.inside[i] = pixels[i * 4 + 3] >= 128 ? 1 : 0;
  return mask;
}

std::vector<Rect> RegionRects(const RegionMask& mask) {
  std::vector<Rect> rects;
  if (mask.width <= 0 || mask.height <= 0 ||
      mask.inside.size() != static_cast<size_t>(mask.width) * mask.height) {
    return rects;
  }
  // A band grows while the next row has exactly its runs; an empty row
  // closes it and starts an empty band, which adds nothing.
  std::vector<Run> band = RowRuns(mask, 0);
  int32_t bandTop = 0;
  for (int y = 1; y < mask.height; ++y) {
    std::vector<Run> runs = RowRuns(mask, y);
    if (runs == band) continue;
    AppendBand(band, bandTop, y, rects);
    band = std::move(runs);
    bandTop = y;
  }
  AppendBand(band, bandTop, mask.height, rects);
  return rects;
}

std::vector<uint8_t> EncodeRegionData(const std::vector<Rect>& rects, int width, int height) {
  std::vector<uint8_t> out;
  out.reserve(kRegionHeaderSize + rects.size() * kRegionRectSize);
  const auto count = static_cast<uint32_t>(rects.size());
  AppendLE32(out, kRegionHeaderSize);
  AppendLE32(out, 1);  // RDH_RECTANGLES
  AppendLE32(out, count);
  AppendLE32(out, count * kRegionRectSize);
  for (const int32_t bound : {0, 0, width, height}) AppendLE32(out, static_cast<uint32_t>(bound));
  for (const Rect& r : rects) {
    for (const int32_t edge : {r.left, r.top, r.right, r.bottom}) AppendLE32(out, static_cast<uint32_t>(edge));
  }
  return out;
}
