// The About dialog's credits panel apart from any window: a star field in
// parallax layers drifting across the panel and credit lines scrolling up
// through it and round again, all advanced by a frame factor (elapsed
// milliseconds per 60 Hz frame) so the speed does not depend on the real
// frame rate. Each step hands every star and visible line to a canvas; the
// Windows scroller draws them into its off-screen bitmap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/linked_list.h"

struct Credit {
  std::string text;  // empty for a blank line
  float y = 0;       // top of the line in panel pixels
};

struct CreditStar {
  float x = 0;
  float y = 0;
};

class CreditCanvas {
 public:
  virtual ~CreditCanvas() = default;
  // colour as a COLORREF (0x00BBGGRR).
  virtual void Star(int x, int y, uint32_t colour) = 0;
  // The line's text centred across the panel in the band top..top + height.
  virtual void Line(const std::string& text, int top, int height) = 0;
};

class CreditMotion {
 public:
  static constexpr float kMsPerFrame = 16.666f;

  void SetPanelSize(int width, int height);
  void SetLineGap(int pixels) { lineGap = pixels; }
  void AddLine(const std::string& text);

  // Seeds the C library's generator with 69 (the same star field every
  // time), places the stars and puts the lines just below the panel.
  void Start();
  // One frame: every star drawn then moved (and wrapped), every line not
  // below the panel drawn, then moved (and sent round when it has left the
  // top). frameFactor = elapsed ms / kMsPerFrame.
  void Step(float frameFactor, CreditCanvas& canvas);

  static float FrameFactor(uint32_t elapsedMs) { return static_cast<float>(elapsedMs) / kMsPerFrame; }

  int width = 0;
  int height = 0;
  int starsBase = 25;
  int layerCount = 4;
  int lineHeight = 30;
  int lineGap = 40;
  float textSpeed = -0.5f;
  float starSpeedX = -1.0f;
  float starSpeedY = 0.0f;
  std::vector<std::vector<CreditStar>> stars;  // per layer
  std::vector<uint32_t> layerColours;
  LinkedList<Credit> lines;

 private:
  void MoveStar(CreditStar& star, float factor, float frameFactor) const;
  int RandomBelow(int limit) const;
};
