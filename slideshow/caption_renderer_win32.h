// Renders one caption text with GDI into an off-screen work surface and
// cuts it into a set of textures, either all at once or one texture per
// Step so that a frame never waits for a whole caption. 32-bit textures get
// their alpha from the brightness of their pixels; 16-bit ones carry none
// and are blended by colour when drawn.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/texture_win32.h"
#include "slideshow/caption_layout.h"

class CaptionRenderer {
 public:
  CaptionRenderer() = default;
  // Deletes the font and the brush and releases the work surface.
  ~CaptionRenderer();
  CaptionRenderer(const CaptionRenderer&) = delete;
  CaptionRenderer& operator=(const CaptionRenderer&) = delete;

  void SetFormat(uint32_t flags) { format = flags; }
  void SetAlphaFromBrightness(uint8_t on) { alphaFromBrightness = on; }
  // The divisor of the brightness rule is value / 255.
  void SetAlphaGain(float value) { alphaGain = value / 255.0f; }
  void SetShadow(uint8_t on) { shadow = on; }
  void SetShadowOffset(int32_t pixels) { shadowOffset = pixels; }
  void SetStepwise(uint8_t on) { stepwise = on; }
  int32_t GetColumns() const { return grid.columns; }
  int32_t GetRows() const { return grid.rows; }
  const CaptionGrid& Grid() const { return grid; }

  // Chooses the tile size and makes the work surface anew.
  void SetSize(int32_t areaWidth, int32_t areaHeight, int32_t limit, int32_t depth);
  void SetBackground(COLORREF colour);
  // Makes the font; with every parameter as before only the colour changes.
  // False when the font can't be made.
  bool SetFont(const char* face, int32_t fontHeight, int32_t fontWidth, int32_t weight,
               COLORREF colour, uint8_t italic, uint8_t underline, uint8_t strikeOut,
               uint32_t outPrecision, uint32_t quality, uint32_t pitchAndFamily);
  // Draws `text` and starts filling `textures`; the height of the laid-out
  // text, or 0 (textures untouched) without font, work surface, text or
  // textures, or when `count` is not the grid's.
  int32_t SetText(const char* text, cTexture* const* textures, int32_t count);
  // Fills one more texture; true while more remain.
  bool Step();
  bool Pending() const { return nextTile < targetCount; }
  void Finish() {
    while (Step()) {
    }
  }

 private:
  struct FontParameters {
    std::string face;
    int32_t height = 0, width = 0, weight = 0;
    uint8_t italic = 0, underline = 0, strikeOut = 0;
    uint32_t precision = 0, quality = 0, pitch = 0;
    bool operator==(const FontParameters& o) const;
  };

  void MakeWork();
  // Copies texture k's part of the work surface into it.
  void FillTexture(int32_t k);

  cTexture* const* targets = nullptr;
  std::unique_ptr<cTexture> work;
  int32_t targetCount = 0;
  int32_t width = 256;
  int32_t height = 256;
  int32_t tileLimit = 256;
  int32_t bits = 16;
  CaptionGrid grid;
  uint32_t format = 17;
  HFONT font = nullptr;
  HBRUSH brush = nullptr;
  COLORREF background = RGB(0, 0, 0);
  COLORREF textColour = RGB(255, 255, 255);
  uint8_t alphaFromBrightness = 1;
  float alphaGain = 1.0f;
  uint8_t shadow = 0;
  int32_t shadowOffset = 2;
  COLORREF shadowColour = RGB(10, 10, 10);
  uint8_t stepwise = 0;
  int32_t nextTile = 9999999;
  FontParameters cachedFont;
};
