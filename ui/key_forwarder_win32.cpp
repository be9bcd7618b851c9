#include "ui/key_forwarder_win32.h"

namespace {

// The hook procedure has no context of its own.
HWND keyTarget = nullptr;

LRESULT CALLBACK ForwardKeys(int code, WPARAM wParam, LPARAM lParam) {
  if (code >= 0 && keyTarget != nullptr) {
    const UINT message = (lParam & 0x80000000) != 0 ? WM_KEYUP : WM_KEYDOWN;
    SendMessageA(keyTarget, message, wParam, lParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void KeyForwarder::Install(HWND target) {
  Remove();
  keyTarget = target;
  hook_ = SetWindowsHookExA(WH_KEYBOARD, ForwardKeys, nullptr, GetCurrentThreadId());
}

void KeyForwarder::Remove() {
  if (hook_ == nullptr) return;
  UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  keyTarget = nullptr;
}
