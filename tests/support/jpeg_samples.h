// JPEGs made on the spot with libjpeg's own encoder, for the decoding tests
// natively and under Wine: colour, grey, CMYK and YCCK, baseline or
// progressive, with an EXIF orientation when asked. Pictures are described
// upright in RGB; the helpers turn them into what a camera or an editor
// would have stored.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include <jpeglib.h>

namespace jpeg_samples {

using Bytes = std::vector<uint8_t>;
using Rgb = std::array<uint8_t, 3>;

// RGB pixels, rows top down.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;

  Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

template <typename Colour>
Picture Paint(int width, int height, Colour colour) {
  Picture picture{width, height, {}};
  picture.pixels.reserve(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.pixels.push_back(colour(x, y));
  return picture;
}

// Four flat quadrants, red, green / blue, white, so that every turn and
// mirror of the picture looks different.
inline Picture Quadrants(int width, int height) {
  static const Rgb colours[4] = {{{210, 30, 30}}, {{30, 200, 40}}, {{40, 40, 210}}, {{235, 235, 235}}};
  return Paint(width, height, [&](int x, int y) { return colours[(y >= height / 2) * 2 + (x >= width / 2)]; });
}

// Smooth colour ramps in both directions, which every scale and filter
// must keep smooth.
inline Picture Gradient(int width, int height) {
  return Paint(width, height, [&](int x, int y) {
    return Rgb{{static_cast<uint8_t>(x * 255 / width), static_cast<uint8_t>(y * 255 / height),
                static_cast<uint8_t>(128 + (x - y) * 64 / (width + height))}};
  });
}

// The picture turned a quarter clockwise, and mirrored left to right.
inline Picture TurnedClockwise(const Picture& from) {
  return Paint(from.height, from.width, [&](int x, int y) { return from.At(y, from.height - 1 - x); });
}
inline Picture Mirrored(const Picture& from) {
  return Paint(from.width, from.height, [&](int x, int y) { return from.At(from.width - 1 - x, y); });
}

// What a camera stores for an upright picture when it records `orientation`
// (the turn or mirror a viewer must apply to show it upright).
inline Picture StoredFor(const Picture& upright, int orientation) {
  const auto turned = [](Picture p, int quarters) {
    for (int i = 0; i < quarters; ++i) p = TurnedClockwise(p);
    return p;
  };
  switch (orientation) {
    case 2: return Mirrored(upright);                          // mirrored back
    case 3: return turned(upright, 2);                         // half a turn
    case 4: return turned(Mirrored(upright), 2);               // flipped top to bottom
    case 5: return turned(Mirrored(upright), 3);               // transposed
    case 6: return turned(upright, 3);                         // shown a quarter clockwise
    case 7: return turned(Mirrored(upright), 1);               // transversed
    case 8: return turned(upright, 1);                         // shown a quarter anticlockwise
    default: return upright;
  }
}

// The APP1 payload of an EXIF block holding only IFD0 with the orientation
// tag, in either byte order.
inline Bytes ExifOrientationSegment(int orientation, bool bigEndian) {
  const auto u16 = [&](Bytes& b, unsigned v) {
    if (bigEndian) b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)});
    else b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
  };
  const auto u32 = [&](Bytes& b, unsigned v) {
    if (bigEndian) { u16(b, v >> 16); u16(b, v & 0xFFFF); }
    else { u16(b, v & 0xFFFF); u16(b, v >> 16); }
  };
  Bytes b = {'E', 'x', 'i', 'f', 0, 0};
  b.insert(b.end(), bigEndian ? std::initializer_list<uint8_t>{'M', 'M'} : std::initializer_list<uint8_t>{'I', 'I'});
  u16(b, 42);
  u32(b, 8);        // IFD0 right after the header
  u16(b, 1);        // one entry
  u16(b, 0x0112);   // Orientation
  u16(b, 3);        // SHORT
  u32(b, 1);        // one value, held in the entry itself
  u16(b, static_cast<unsigned>(orientation));
  u16(b, 0);
  u32(b, 0);        // no further IFD
  return b;
}

enum class Stored { Colour, Grey, AdobeCmyk, AdobeYcck, PlainCmyk };

struct Options {
  Stored stored = Stored::Colour;
  bool progressive = false;
  int orientation = 0;       // an EXIF block when 1 to 8
  bool bigEndianExif = true;
  bool subsampled = false;   // 4:2:0 chroma, as cameras store it
  int quality = 95;
};

// Encodes the picture as it is (no turning: see StoredFor).
inline Bytes Encode(const Picture& picture, const Options& options = {}) {
  const bool cmyk = options.stored == Stored::AdobeCmyk || options.stored == Stored::AdobeYcck ||
                    options.stored == Stored::PlainCmyk;
  const int components = options.stored == Stored::Grey ? 1 : cmyk ? 4 : 3;
  static_assert(sizeof(Rgb) == 3, "pixels are packed RGB");
  std::vector<uint8_t> samples;
  samples.reserve(picture.pixels.size() * components);
  if (components == 3) {
    const auto* rgb = reinterpret_cast<const uint8_t*>(picture.pixels.data());
    samples.assign(rgb, rgb + picture.pixels.size() * 3);
  } else {
    for (const Rgb& p : picture.pixels) {
      if (components == 1) {
        samples.push_back(static_cast<uint8_t>((p[0] * 77 + p[1] * 150 + p[2] * 29 + 128) >> 8));
        continue;
      }
      // The light each ink lets through; Adobe's files store exactly that
      // (0 = full ink), others the amount of ink.
      const int k = std::max({p[0], p[1], p[2], uint8_t{1}});
      const int light[4] = {p[0] * 255 / k, p[1] * 255 / k, p[2] * 255 / k, k};
      for (int v : light) samples.push_back(static_cast<uint8_t>(options.stored == Stored::PlainCmyk ? 255 - v : v));
    }
  }

  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&info, &out, &outSize);
  info.image_width = static_cast<JDIMENSION>(picture.width);
  info.image_height = static_cast<JDIMENSION>(picture.height);
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, options.quality, TRUE);
  if (options.stored == Stored::AdobeYcck) jpeg_set_colorspace(&info, JCS_YCCK);
  if (options.stored == Stored::PlainCmyk) info.write_Adobe_marker = FALSE;
  if (!options.subsampled) {
    for (int i = 0; i < info.num_components; ++i) info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
  }
  if (options.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  if (options.orientation >= 1 && options.orientation <= 8) {
    const Bytes exif = ExifOrientationSegment(options.orientation, options.bigEndianExif);
    jpeg_write_marker(&info, JPEG_APP0 + 1, exif.data(), static_cast<unsigned int>(exif.size()));
  }
  const size_t rowBytes = static_cast<size_t>(picture.width) * components;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = samples.data() + info.next_scanline * rowBytes;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes jpeg(out, out + outSize);
  std::free(out);
  return jpeg;
}

}  // namespace jpeg_samples
