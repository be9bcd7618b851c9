// Releasing DirectDraw and Direct3D interfaces. Both helpers take the
// pointer by reference and leave it null, so a half-built owner can run its
// teardown whatever was created. ExtraSafeRelease is for interfaces we expect
// to be the last holder of: a count left over means something still holds
// the device or the DirectDraw object, which is worth a debugger line.
#pragma once

#include <windows.h>

template <class Interface>
void SafeRelease(Interface*& pointer) {
  if (pointer == nullptr) return;
  pointer->Release();
  pointer = nullptr;
}

template <class Interface>
void ExtraSafeRelease(Interface*& pointer) {
  if (pointer == nullptr) return;
  if (pointer->Release() > 0) {
    OutputDebugStringA("[ExtraSafeRelease]: ERROR: Interface was not released enough!");
  }
  pointer = nullptr;
}
