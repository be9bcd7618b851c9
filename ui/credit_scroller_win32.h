// The credits panel of the About dialog: CreditMotion drawn into an
// off-screen bitmap of the panel's size and copied to the panel each frame.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/perf_timer.h"
#include "ui/credit_motion.h"

class CreditScroller {
 public:
  CreditScroller() = default;
  ~CreditScroller();
  CreditScroller(const CreditScroller&) = delete;
  CreditScroller& operator=(const CreditScroller&) = delete;

  void SetFont(HFONT font) { font_ = font; }
  void SetLineGap(int pixels) { motion_.SetLineGap(pixels); }
  void AddLine(const std::string& text) { motion_.AddLine(text); }
  // The panel's client size, its window DC and a canvas of that size with
  // the text colour and font set.
  void Attach(HWND panel);
  void Start();
  // One frame into `target` at (0, 0); nothing unless started.
  void DrawFrame(HDC target);
  void Stop() { running_ = false; }
  // Lets go of the canvas and the window DC, and of the font, which its
  // owner can only delete once no DC holds it. Also done on destruction.
  void Release();
  bool IsRunning() const { return running_; }
  const CreditMotion& Motion() const { return motion_; }

 private:
  CreditMotion motion_;
  FrameTimer timer_;
  HWND panelWindow_ = nullptr;
  HDC windowDC_ = nullptr;
  HDC memoryDC_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ originalBitmap_ = nullptr;
  HGDIOBJ originalFont_ = nullptr;
  HFONT font_ = nullptr;  // not owned
  RECT panel_ = {};
  bool running_ = false;
};
