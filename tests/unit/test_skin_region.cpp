#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "bundle/byte_order.h"
#include "tools/skin_region.h"

// Beside Rect, where the comparisons in std and gtest find them.
static bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static std::ostream& operator<<(std::ostream& out, const Rect& r) {
  return out << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

// '#' is inside, anything else outside.
RegionMask MaskOf(const std::vector<std::string>& rows) {
  RegionMask mask;
  mask.height = static_cast<int>(rows.size());
  mask.width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
  for (const std::string& row : rows) {
    for (char c : row) mask.inside.push_back(c == '#' ? 1 : 0);
  }
  return mask;
}

struct DecodedRegion {
  uint32_t headerSize = 0, type = 0, count = 0, rectBytes = 0;
  Rect bound;
  std::vector<Rect> rects;
};

Rect ReadRect(const uint8_t* p) {
  return {static_cast<int32_t>(ReadLE32(p)), static_cast<int32_t>(ReadLE32(p + 4)),
          static_cast<int32_t>(ReadLE32(p + 8)), static_cast<int32_t>(ReadLE32(p + 12))};
}

// Reads the record as ExtCreateRegion would; fails the test on a length that
// disagrees with the header's count.
DecodedRegion Decode(const std::vector<uint8_t>& bytes) {
  DecodedRegion region;
  if (bytes.size() < kRegionHeaderSize) {
    ADD_FAILURE() << "record of " << bytes.size() << " bytes";
    return region;
  }
  region.headerSize = ReadLE32(&bytes[0]);
  region.type = ReadLE32(&bytes[4]);
  region.count = ReadLE32(&bytes[8]);
  region.rectBytes = ReadLE32(&bytes[12]);
  region.bound = ReadRect(&bytes[16]);
  if (bytes.size() != kRegionHeaderSize + size_t{region.count} * kRegionRectSize) {
    ADD_FAILURE() << bytes.size() << " bytes for " << region.count << " rectangles";
    return region;
  }
  for (uint32_t i = 0; i < region.count; ++i) region.rects.push_back(ReadRect(&bytes[32 + i * 16]));
  return region;
}

// Every inside pixel covered exactly once, no outside pixel covered, no
// rectangle empty or beyond the mask.
void ExpectCoversMaskExactly(const std::vector<Rect>& rects, const RegionMask& mask) {
  std::vector<int> hits(mask.inside.size(), 0);
  for (const Rect& r : rects) {
    ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= mask.width && r.bottom <= mask.height) << r;
    ASSERT_TRUE(r.left < r.right && r.top < r.bottom) << "empty " << r;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) ++hits[static_cast<size_t>(y) * mask.width + x];
    }
  }
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      const size_t i = static_cast<size_t>(y) * mask.width + x;
      ASSERT_EQ(hits[i], mask.inside[i] ? 1 : 0) << "pixel " << x << "," << y;
    }
  }
}

// GDI's band rules: sorted by top, then left; a band's rectangles share top
// and bottom and do not touch; bands do not overlap; touching bands differ
// (identical ones would have been one band).
void ExpectBanded(const std::vector<Rect>& rects) {
  size_t bandStart = 0, previousBand = 0;
  bool havePrevious = false;
  for (size_t i = 1; i <= rects.size(); ++i) {
    if (i < rects.size() && rects[i].top == rects[bandStart].top) {
      EXPECT_EQ(rects[i].bottom, rects[bandStart].bottom) << rects[i];
      EXPECT_GT(rects[i].left, rects[i - 1].right) << rects[i - 1] << " then " << rects[i];
      continue;
    }
    if (havePrevious) {
      const Rect& before = rects[previousBand];
      const Rect& now = rects[bandStart];
      EXPECT_GE(now.top, before.bottom) << before << " then " << now;
      if (now.top == before.bottom) {
        bool same = (i - bandStart) == (bandStart - previousBand);
        for (size_t k = 0; same && k < i - bandStart; ++k) {
          same = rects[bandStart + k].left == rects[previousBand + k].left &&
                 rects[bandStart + k].right == rects[previousBand + k].right;
        }
        EXPECT_FALSE(same) << "bands at " << before.top << " and " << now.top << " should be one";
      }
    }
    havePrevious = true;
    previousBand = bandStart;
    bandStart = i;
  }
}

TEST(SkinRegion, MaskWithHolesAndNotchesBecomesBands) {
  const RegionMask mask = MaskOf({
      "####..####",  // notch in the top edge
      "####..####",
      "##########",
      "###.##.###",  // two holes
      "###.##.###",
      "##########",  // same runs as row 2, but not adjacent to it
      ".########.",  // rounded-off corners
  });
  const std::vector<Rect> expected = {
      {0, 0, 4, 2}, {6, 0, 10, 2}, {0, 2, 10, 3}, {0, 3, 3, 5}, {4, 3, 6, 5},
      {7, 3, 10, 5}, {0, 5, 10, 6}, {1, 6, 9, 7},
  };
  EXPECT_EQ(RegionRects(mask), expected);

  const DecodedRegion region = Decode(EncodeRegionData(RegionRects(mask), mask.width, mask.height));
  EXPECT_EQ(region.headerSize, 32u);
  EXPECT_EQ(region.type, 1u);
  EXPECT_EQ(region.count, 8u);
  EXPECT_EQ(region.rectBytes, 8u * 16u);
  EXPECT_EQ(region.bound, (Rect{0, 0, 10, 7}));
  EXPECT_EQ(region.rects, expected);
  ExpectCoversMaskExactly(region.rects, mask);
  ExpectBanded(region.rects);
}

TEST(SkinRegion, RecordIsLittleEndianWhateverTheHost) {
  const std::vector<uint8_t> bytes = EncodeRegionData({{5, 6, 300, 70000}}, 640, 458);
  const std::vector<uint8_t> expected = {
      32, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 16, 0, 0, 0,           // size, type, count, rect bytes
      0, 0, 0, 0, 0, 0, 0, 0, 0x80, 2, 0, 0, 0xCA, 1, 0, 0,       // bound 0,0,640,458
      5, 0, 0, 0, 6, 0, 0, 0, 0x2C, 1, 0, 0, 0x70, 0x11, 1, 0,    // 5,6,300,70000
  };
  EXPECT_EQ(bytes, expected);
}

TEST(SkinRegion, EmptyFullAndMalformedMasks) {
  EXPECT_TRUE(RegionRects(MaskOf({"....", "...."})).empty());
  EXPECT_EQ(RegionRects(MaskOf({"###", "###", "###"})), (std::vector<Rect>{{0, 0, 3, 3}}));
  // A band that ends at the bottom edge and one that starts below empty rows.
  EXPECT_EQ(RegionRects(MaskOf({"....", "....", ".##.", ".##."})), (std::vector<Rect>{{1, 2, 3, 4}}));

  RegionMask shortMask = MaskOf({"###", "###"});
  shortMask.inside.pop_back();
  EXPECT_TRUE(RegionRects(shortMask).empty());

  const DecodedRegion none = Decode(EncodeRegionData({}, 4, 2));
  EXPECT_EQ(none.count, 0u);
  EXPECT_EQ(none.rectBytes, 0u);
}

TEST(SkinRegion, AlphaAtLeastHalfIsInside) {
  // Colour bytes carry the opposite of the alpha, so reading the wrong
  // channel shows.
  const uint8_t rgba[] = {
      255, 255, 255, 0,    255, 255, 255, 127,  0, 0, 0, 128,  0, 0, 0, 255,
  };
  const RegionMask mask = MaskFromAlpha(rgba, 2, 2);
  EXPECT_EQ(mask.width, 2);
  EXPECT_EQ(mask.height, 2);
  EXPECT_EQ(mask.inside, (std::vector<uint8_t>{0, 0, 1, 1}));
  EXPECT_EQ(RegionRects(mask), (std::vector<Rect>{{0, 1, 2, 2}}));
}

TEST(SkinRegion, RandomShapesAreCoveredExactlyOnceInBands) {
  uint32_t state = 1071;
  const auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  for (int round = 0; round < 60; ++round) {
    RegionMask mask;
    mask.width = 1 + static_cast<int>(next() % 40);
    mask.height = 1 + static_cast<int>(next() % 30);
    // Runs of repeated rows, as a skin's straight edges give, and noisy rows.
    const bool repeatRows = round % 2 == 0;
    std::vector<uint8_t> row(mask.width);
    for (int y = 0; y < mask.height; ++y) {
      if (!repeatRows || y == 0 || next() % 4 == 0) {
        const uint32_t density = 1 + round % 5;
        for (uint8_t& pixel : row) pixel = next() % 6 < density ? 1 : 0;
      }
      mask.inside.insert(mask.inside.end(), row.begin(), row.end());
    }
    SCOPED_TRACE("round " + std::to_string(round));
    const DecodedRegion region = Decode(EncodeRegionData(RegionRects(mask), mask.width, mask.height));
    EXPECT_EQ(region.rectBytes, region.count * 16u);
    ExpectCoversMaskExactly(region.rects, mask);
    ExpectBanded(region.rects);
  }
}

}  // namespace
