// make_skin PNGDIR OUTDIR: turns the rendered skin (ui/skin/*.svg, rendered
// to PNGDIR/<stem>.png by the build) into the files the settings dialogs
// load from the skin bundle, and writes OUTDIR/skin.manifest naming them for
// `zvbundle append`, "menuskin.jpg" first. Pictures are flattened onto black
// (the skin's transparent outside turns black; the window region hides it)
// and written as JPEG; the toggle mask becomes a pure black-and-white 24-bit
// BMP, since the transparent drawing of the check images needs exactly 0 and
// 255 in it. Reading and the BMP go through our own imaging layer, the one
// that reads the skin back at run time.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bundle/image_object.h"

namespace {

constexpr int kJpegQuality = 92;

enum class Output { Jpeg, MaskBmp };

struct SkinFile {
  const char* stem;   // the SVG and PNG name
  const char* name;   // the name in the bundle
  int width, height;  // the size the dialogs cut and draw it at
  Output output;
};

const SkinFile kSkin[] = {
    {"menuskin", "menuskin.jpg", 640, 458, Output::Jpeg},
    {"toggle_mask_3", "toggle_mask_3.bmp", 20, 15, Output::MaskBmp},
    {"VSliderBG_108_18_1", "VSliderBG_108_18_1.jpg", 18, 108, Output::Jpeg},
    {"SliderBG_108_18_1", "SliderBG_108_18_1.jpg", 108, 18, Output::Jpeg},
    {"slide_knob_7_18_1", "slide_knob_7_18_1.jpg", 7, 18, Output::Jpeg},
    {"slide_knob_13_13_1", "slide_knob_13_13_1.jpg", 13, 13, Output::Jpeg},
    {"slide_knob_18_7_1", "slide_knob_18_7_1.jpg", 18, 7, Output::Jpeg},
    {"filmstrip", "filmstrip.jpg", 154, 28, Output::Jpeg},
};

size_t PixelCount(const CImageData& image) {
  return static_cast<size_t>(image.GetWidth()) * image.GetHeight();
}

// BGRA in place: colour times alpha, then opaque.
void FlattenOntoBlack(CImageData& image) {
  uint8_t* p = image.GetPixels();
  for (size_t i = 0; i < PixelCount(image); ++i, p += 4) {
    for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((p[c] * p[3] + 127) / 255);
    p[3] = 255;
  }
}

void ToBlackAndWhite(CImageData& image) {
  uint8_t* p = image.GetPixels();
  for (size_t i = 0; i < PixelCount(image); ++i, p += 4) {
    const unsigned grey = (p[2] * 299u + p[1] * 587u + p[0] * 114u) / 1000u;
    p[0] = p[1] = p[2] = grey >= 128 ? 255 : 0;
  }
}

bool WriteJpeg(const CImageData& image, const std::string& path) {
  std::vector<uint8_t> rgb(PixelCount(image) * 3);
  const uint8_t* p = image.GetPixels();
  for (size_t i = 0; i < PixelCount(image); ++i, p += 4) {
    rgb[i * 3] = p[2];
    rgb[i * 3 + 1] = p[1];
    rgb[i * 3 + 2] = p[0];
  }
  return stbi_write_jpg(path.c_str(), image.GetWidth(), image.GetHeight(), 3, rgb.data(), kJpegQuality) != 0;
}

bool MakeFile(const SkinFile& file, const std::string& pngDir, const std::string& outDir) {
  const std::string source = pngDir + "/" + file.stem + ".png";
  CImageObject picture;
  if (picture.Load(source.c_str(), nullptr, 0, 0) != 0) {
    std::fprintf(stderr, "make_skin: cannot read %s\n", source.c_str());
    return false;
  }
  CImageData& image = *picture.GetObjectDataPtr();
  // The dialogs cut and place these at fixed pixel sizes; a drawing of
  // another size would misplace every control.
  if (image.GetWidth() != file.width || image.GetHeight() != file.height) {
    std::fprintf(stderr, "make_skin: %s is %dx%d, must be %dx%d\n", source.c_str(), image.GetWidth(),
                 image.GetHeight(), file.width, file.height);
    return false;
  }
  FlattenOntoBlack(image);
  const std::string target = outDir + "/" + file.name;
  bool written = false;
  if (file.output == Output::MaskBmp) {
    ToBlackAndWhite(image);
    written = picture.SaveBitmap(target.c_str());
  } else {
    written = WriteJpeg(image, target);
  }
  if (!written) std::fprintf(stderr, "make_skin: cannot write %s\n", target.c_str());
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_skin PNGDIR OUTDIR\n");
    return 2;
  }
  const std::string pngDir = argv[1], outDir = argv[2];
  std::string manifest = "# Settings dialog skin, made from ui/skin by make_skin.\n";
  for (const SkinFile& file : kSkin) {
    if (!MakeFile(file, pngDir, outDir)) return 1;
    manifest += std::string("skin\t") + file.name + "\t" + file.name + "\n";
  }
  std::ofstream out(outDir + "/skin.manifest", std::ios::binary | std::ios::trunc);
  out << manifest;
  out.close();
  if (out.fail()) {
    std::fprintf(stderr, "make_skin: cannot write %s/skin.manifest\n", outDir.c_str());
    return 1;
  }
  return 0;
}
