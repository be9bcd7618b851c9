// A hidden popup window of a class of its own, for tests that need a window
// for a device but nothing on screen; destroyed and unregistered with it.
#pragma once

#include <windows.h>

#include <string>

class HiddenWindow {
 public:
  HiddenWindow(const char* className, int width, int height) : className_(className) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className_.c_str();
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, className_.c_str(), className_.c_str(), WS_POPUP, 0, 0, width, height, nullptr,
                              nullptr, instance, nullptr);
  }
  ~HiddenWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
    UnregisterClassA(className_.c_str(), GetModuleHandleA(nullptr));
  }
  HiddenWindow(const HiddenWindow&) = delete;
  HiddenWindow& operator=(const HiddenWindow&) = delete;

  HWND handle() const { return window_; }

 private:
  std::string className_;
  HWND window_ = nullptr;
};
