// DisplayModeList::Fill: the modes come from DirectDraw's own enumeration,
// so the list shows what the full-screen device can switch to.
#include <windows.h>

#include <ddraw.h>

#include "graphics/display_modes.h"

namespace {

HRESULT CALLBACK AddReportedMode(LPDDSURFACEDESC2 desc, LPVOID context) {
  auto* list = static_cast<DisplayModeList*>(context);
  list->Add(static_cast<int32_t>(desc->dwWidth), static_cast<int32_t>(desc->dwHeight),
            static_cast<int32_t>(desc->ddpfPixelFormat.dwRGBBitCount));
  // Every mode is wanted: the filters decide, never the enumeration.
  return DDENUMRET_OK;
}

}  // namespace

bool DisplayModeList::Fill(IDirectDraw7* directDraw) {
  Clear();
  if (directDraw == nullptr) return false;
  const HRESULT result = directDraw->EnumDisplayModes(0, nullptr, this, AddReportedMode);
  if (FAILED(result)) {
    Clear();
    return false;
  }
  return true;
}
