#include "graphics/monitors_win32.h"

#include "foundation/rect_win32.h"

namespace {

HWND WindowOf(const MonitorRecord& record) { return static_cast<HWND>(record.window); }

// One adapter of the system, as the table builder wants it. An attached
// adapter whose current mode cannot be read is taken as not attached: it has
// no rectangle to cover.
bool ReadAdapter(int32_t index, DisplayAdapter& adapter) {
  DISPLAY_DEVICEA device{};
  device.cb = sizeof(device);
  if (!EnumDisplayDevicesA(nullptr, static_cast<DWORD>(index), &device, 0)) return false;

  adapter.adapterName = device.DeviceString;
  adapter.mirroring = (device.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER) != 0;
  adapter.primary = (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0;
  if (adapter.mirroring) return true;

  DISPLAY_DEVICEA monitor{};
  monitor.cb = sizeof(monitor);
  if (EnumDisplayDevicesA(device.DeviceName, 0, &monitor, 0)) adapter.monitorName = monitor.DeviceString;

  if ((device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) return true;
  DEVMODEA mode{};
  mode.dmSize = sizeof(mode);
  if (!EnumDisplaySettingsA(device.DeviceName, ENUM_CURRENT_SETTINGS, &mode)) return true;
  adapter.attached = true;
  adapter.x = mode.dmPosition.x;
  adapter.y = mode.dmPosition.y;
  adapter.width = static_cast<int32_t>(mode.dmPelsWidth);
  adapter.height = static_cast<int32_t>(mode.dmPelsHeight);
  return true;
}

void* MonitorUnder(const Rect& rect) {
  const RECT area = ToRECT(rect);
  return MonitorFromRect(&area, MONITOR_DEFAULTTONULL);
}

}  // namespace

void EnumerateMonitors(MonitorTable& table) { BuildMonitorTable(table, ReadAdapter, MonitorUnder); }

HRESULT CreateChildWindows(MonitorTable& table, HWND parentWindow, HINSTANCE instance,
                           const char* className, const char* windowTitle) {
  for (int32_t i = 0; i < table.count; ++i) {
    MonitorRecord& record = table.records[i];
    if (!NeedsBlankingWindow(record)) continue;
    const Rect& rect = record.rect;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, className, windowTitle, WS_POPUP | WS_VISIBLE,
                                  rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parentWindow, nullptr, instance, &table);
    if (window == nullptr) return E_FAIL;
    record.window = window;
  }
  return S_OK;
}

void AdjustChildWindows(MonitorTable& table) {
  for (int32_t i = 0; i < table.count; ++i) {
    MonitorRecord& record = table.records[i];
    if (!NeedsBlankingWindow(record)) continue;
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(static_cast<HMONITOR>(record.monitor), &info)) continue;
    const RECT& area = info.rcMonitor;
    record.rect = FromRECT(area);
    if (record.window == nullptr) continue;
    SetWindowPos(WindowOf(record), HWND_TOPMOST, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOACTIVATE);
  }
}

void ShowChildWindows(MonitorTable& table, int showCommand) {
  for (int32_t i = 0; i < table.count; ++i) {
    const MonitorRecord& record = table.records[i];
    if (NeedsBlankingWindow(record) && record.window != nullptr) ShowWindow(WindowOf(record), showCommand);
  }
}

void DestroyChildWindows(MonitorTable& table) {
  for (int32_t i = 0; i < table.count; ++i) {
    MonitorRecord& record = table.records[i];
    if (record.isPrimary || record.window == nullptr) continue;
    DestroyWindow(WindowOf(record));
    record.window = nullptr;
  }
}
