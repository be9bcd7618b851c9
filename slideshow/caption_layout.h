// The arithmetic of captions: how the caption area is cut into textures,
// which part of the drawing area each texture receives, the alpha a 32-bit
// caption texture gets from its pixels' brightness, where the strip sits
// above the bottom of the screen, how strongly the two captions show during
// a transition, and the GDI rectangles of fast mode.
#pragma once

#include <cstdint>

#include "foundation/rect.h"

// DrawTextA flags: word wrap, plus left, centre or right alignment.
const uint32_t kCaptionWordBreak = 16;
const uint32_t kCaptionCentre = 1;
const uint32_t kCaptionRight = 2;

// The caption area every slot draws into, in pixels.
const int32_t kCaptionAreaWidth = 896;
const int32_t kCaptionAreaHeight = 256;
// The strip on screen, in world units: three quarters of the screen width.
const float kCaptionStripWidth = 1.5f;
const float kCaptionStripHeight = 1.5f * 256.0f / 896.0f;
// Space below the last line of text, in caption pixels.
const int32_t kCaptionBottomMargin = 10;

struct CaptionGrid {
  int32_t tileWidth = 0;
  int32_t tileHeight = 0;
  int32_t columns = 0;
  int32_t rows = 0;
  int32_t Count() const { return columns * rows; }
};

// The tile side for one extent: of tileLimit, tileLimit / 2, ... down to
// the first candidate below 4, the one leaving the smallest remainder (the
// larger on a tie). A limit of 1 or less gives 1.
int32_t CaptionTileSide(int32_t extent, int32_t tileLimit);
CaptionGrid CaptionGridFor(int32_t width, int32_t height, int32_t tileLimit);

// The part of the drawing area texture k receives: tile column k mod
// columns, tile row k div columns counted from the bottom of the strip,
// while the drawing area's rows count from the top.
Rect CaptionTileSource(const CaptionGrid& grid, int32_t k);

// min(255, 255 x (r + g + b) / (765 x gain)): black becomes transparent,
// bright text opaque.
uint8_t AlphaFromBrightness(uint8_t red, uint8_t green, uint8_t blue, float gain);
// The same over a 32-bit picture (blue, green, red, alpha in memory).
void ApplyAlphaFromBrightness(uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                              float gain);

// How far the strip's upper edge lies above the bottom of the screen for a
// text of textHeight pixels; a failed rendering (0) keeps the bare margin.
float CaptionOffsetFor(int32_t textHeight, float stripHeight);
// The y of the strip's centre.
float CaptionCentreY(float viewBottom, float stripHeight, float captionOffset);

// Strength of the outgoing (current) and incoming (next) caption.
struct CaptionAlphas {
  float current = 1.0f;
  float next = 0.0f;
};
CaptionAlphas CaptionAlphasFor(bool openingFade, bool crossfade, bool inTransition,
                               float brightnessRed, float progress);

// DrawTextA flags for CaptionOrientation 0 (left), 1 (centre), 2 (right).
uint32_t CaptionFormatFor(int32_t orientation);
// Clear-type quality above version 5, antialiased below.
int32_t CaptionFontQuality(int32_t osVersion);

// Fast mode draws the caption straight onto the W x H picture: measured
// off screen at its final width W - 100, then a shadow and the text just
// above the bottom edge.
Rect FastCaptionMeasureRect(int32_t screenWidth, int32_t screenHeight);
Rect FastCaptionShadowRect(int32_t screenWidth, int32_t screenHeight, int32_t textHeight);
Rect FastCaptionTextRect(int32_t screenWidth, int32_t screenHeight, int32_t textHeight);
