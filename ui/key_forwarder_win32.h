// The dialogs' thread keyboard hook: every key event of the thread reaches
// one dialog as WM_KEYDOWN or WM_KEYUP, whichever control has the focus, so
// a dialog can answer F1 or Delete from anywhere in it. One dialog at a time
// holds it: a dialog that opens another removes its own first.
#pragma once

#include <windows.h>

class KeyForwarder {
 public:
  ~KeyForwarder() { Remove(); }
  void Install(HWND target);
  void Remove();

 private:
  HHOOK hook_ = nullptr;
};
