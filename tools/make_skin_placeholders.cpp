// make_skin_placeholders OUTDIR: writes stand-in skin graphics for the
// settings dialog, at the sizes the dialog cuts and draws them, plus
// OUTDIR/skin.manifest naming them for `zvbundle append`, "menuskin.jpg"
// first. They only have to decode and look plausible until the real skin
// art replaces them; a build-time tool, so it needs nothing but stb.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Rgb {
  uint8_t r, g, b;
};

class Picture {
 public:
  Picture(int width, int height, Rgb colour) : width_(width), height_(height), pixels_(width * height * 3) {
    Fill(0, 0, width, height, colour);
  }

  void Fill(int x, int y, int w, int h, Rgb c) {
    for (int row = y; row < y + h && row < height_; ++row) {
      for (int col = x; col < x + w && col < width_; ++col) {
        uint8_t* p = &pixels_[(row * width_ + col) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
      }
    }
  }

  void Frame(int x, int y, int w, int h, Rgb c) {
    Fill(x, y, w, 1, c);
    Fill(x, y + h - 1, w, 1, c);
    Fill(x, y, 1, h, c);
    Fill(x + w - 1, y, 1, h, c);
  }

  // Top-to-bottom blend, so a picture is not one flat colour.
  void Gradient(Rgb top, Rgb bottom) {
    for (int row = 0; row < height_; ++row) {
      const int t = height_ > 1 ? row * 255 / (height_ - 1) : 0;
      const Rgb c{Mix(top.r, bottom.r, t), Mix(top.g, bottom.g, t), Mix(top.b, bottom.b, t)};
      Fill(0, row, width_, 1, c);
    }
  }

  bool Save(const std::string& path) const {
    const bool bmp = path.size() > 4 && path.compare(path.size() - 4, 4, ".bmp") == 0;
    return bmp ? stbi_write_bmp(path.c_str(), width_, height_, 3, pixels_.data()) != 0
               : stbi_write_jpg(path.c_str(), width_, height_, 3, pixels_.data(), 90) != 0;
  }

 private:
  static uint8_t Mix(uint8_t a, uint8_t b, int t) { return static_cast<uint8_t>((a * (255 - t) + b * t) / 255); }

  int width_, height_;
  std::vector<uint8_t> pixels_;
};

const Rgb kPanel{24, 32, 64}, kPanelBottom{8, 10, 24}, kEdge{96, 128, 200}, kTrack{40, 44, 56},
    kFill{70, 120, 220}, kKnob{200, 204, 214}, kMark{230, 230, 240}, kBlack{0, 0, 0};

// The skin picture with the pieces the dialog cuts from it: toggle images
// (checked at 499,334, unchecked at 499,314) and the slider fill areas.
Picture MenuSkin() {
  Picture p(640, 458, kPanel);
  p.Gradient(kPanel, kPanelBottom);
  p.Frame(0, 0, 640, 458, kEdge);
  p.Frame(2, 2, 636, 454, kEdge);
  p.Frame(499, 314, 20, 15, kMark);
  p.Frame(499, 334, 20, 15, kMark);
  p.Fill(503, 338, 12, 7, kMark);
  p.Fill(601, 94, 18, 108, kFill);
  p.Fill(367, 245, 108, 18, kFill);
  p.Fill(614, 275, 15, 94, kTrack);
  return p;
}

Picture Track(int width, int height) {
  Picture p(width, height, kTrack);
  p.Frame(0, 0, width, height, kEdge);
  return p;
}

Picture Knob(int width, int height) {
  Picture p(width, height, kKnob);
  p.Frame(0, 0, width, height, kEdge);
  return p;
}

Picture Filmstrip() {
  Picture p(256, 64, kBlack);
  for (int x = 6; x < 256; x += 16) {
    p.Fill(x, 4, 8, 6, kKnob);
    p.Fill(x, 54, 8, 6, kKnob);
  }
  p.Fill(4, 14, 248, 36, kPanel);
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_skin_placeholders OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  const struct {
    const char* name;
    Picture picture;
  } skin[] = {
      {"menuskin.jpg", MenuSkin()},
      // Black mask pixels show the toggle image, white ones keep the skin.
      {"toggle_mask_3.bmp", Picture(20, 15, kBlack)},
      {"VSliderBG_108_18_1.jpg", Track(18, 108)},
      {"SliderBG_108_18_1.jpg", Track(108, 18)},
      {"slide_knob_7_18_1.jpg", Knob(7, 18)},
      {"slide_knob_13_13_1.jpg", Knob(13, 13)},
      {"slide_knob_18_7_1.jpg", Knob(18, 7)},
      {"filmstrip.jpg", Filmstrip()},
  };
  std::string manifest = "# Placeholder skin; written by make_skin_placeholders.\n";
  for (const auto& entry : skin) {
    if (!entry.picture.Save(dir + "/" + entry.name)) {
      std::fprintf(stderr, "make_skin_placeholders: cannot write %s/%s\n", dir.c_str(), entry.name);
      return 1;
    }
    manifest += std::string("skin\t") + entry.name + "\t" + entry.name + "\n";
  }
  std::ofstream out(dir + "/skin.manifest", std::ios::binary | std::ios::trunc);
  out << manifest;
  out.close();
  if (out.fail()) {
    std::fprintf(stderr, "make_skin_placeholders: cannot write %s/skin.manifest\n", dir.c_str());
    return 1;
  }
  return 0;
}
