// make_skin_region SKIN.png REGION.bin [SKIN.jpg PREVIEW.png]: writes the
// settings dialog's window region, the RGNDATA record of the rendered skin's
// opaque pixels (tools/skin_region.h), for the program's resources. With the
// two optional paths it also writes a preview for people: the finished skin
// picture as the dialog shows it, transparent outside the region.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

#include "bundle/image_object.h"
#include "tools/skin_region.h"

namespace {

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

bool WritePreview(const char* jpegPath, const RegionMask& mask, const char* previewPath) {
  CImageObject picture;
  const CImageData& image = *picture.GetObjectDataPtr();
  if (picture.Load(jpegPath, nullptr, 0, 0) != 0 || image.GetWidth() != mask.width ||
      image.GetHeight() != mask.height) {
    std::fprintf(stderr, "make_skin_region: %s is missing or not %dx%d\n", jpegPath, mask.width, mask.height);
    return false;
  }
  std::vector<uint8_t> rgba(mask.inside.size() * 4);
  const uint8_t* p = image.GetPixels();
  for (size_t i = 0; i < mask.inside.size(); ++i, p += 4) {
    rgba[i * 4] = p[2];
    rgba[i * 4 + 1] = p[1];
    rgba[i * 4 + 2] = p[0];
    rgba[i * 4 + 3] = mask.inside[i] ? 255 : 0;
  }
  if (!stbi_write_png(previewPath, mask.width, mask.height, 4, rgba.data(), mask.width * 4)) {
    std::fprintf(stderr, "make_skin_region: cannot write %s\n", previewPath);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: make_skin_region SKIN.png REGION.bin [SKIN.jpg PREVIEW.png]\n");
    return 2;
  }
  CImageObject skin;
  if (skin.Load(argv[1], nullptr, 0, 0) != 0) {
    std::fprintf(stderr, "make_skin_region: cannot read %s\n", argv[1]);
    return 1;
  }
  const CImageData& image = *skin.GetObjectDataPtr();
  const RegionMask mask = MaskFromAlpha(image.GetPixels(), image.GetWidth(), image.GetHeight());
  const std::vector<Rect> rects = RegionRects(mask);
  if (rects.empty()) {
    // A window with an empty region would be invisible.
    std::fprintf(stderr, "make_skin_region: %s has no opaque pixels\n", argv[1]);
    return 1;
  }
  if (!WriteFile(argv[2], EncodeRegionData(rects, mask.width, mask.height))) {
    std::fprintf(stderr, "make_skin_region: cannot write %s\n", argv[2]);
    return 1;
  }
  if (argc == 5 && !WritePreview(argv[3], mask, argv[4])) return 1;
  std::printf("make_skin_region: %s, %zu rectangles\n", argv[2], rects.size());
  return 0;
}
