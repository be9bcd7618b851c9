#include <gtest/gtest.h>

#include <windows.h>

#include <ddraw.h>

#include <string>

#include "graphics/display_modes.h"
#include "graphics/monitors_win32.h"

namespace {

const char kBlankClass[] = "ZvMonitorsWinTestClass";
const char kBlankTitle[] = "Monitors test window";
// A window asked for at this x refuses to be created.
const int kRefusedX = 77;

const void* lastCreateParam = nullptr;

LRESULT CALLBACK BlankTestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    lastCreateParam = create->lpCreateParams;
    return create->x == kRefusedX ? -1 : 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class MonitorsWin : public ::testing::Test {
 protected:
  void SetUp() override {
    instance_ = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BlankTestProc;
    windowClass.hInstance = instance_;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kBlankClass;
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    owner_ = CreateWindowExA(0, kBlankClass, "Monitors test owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                             nullptr, instance_, nullptr);
    ASSERT_NE(owner_, nullptr);
    primaryMonitor_ = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    table_ = MonitorTable{};
  }

  void TearDown() override {
    for (int32_t i = 0; i < table_.count; ++i) {
      if (table_.records[i].window != nullptr) DestroyWindow(static_cast<HWND>(table_.records[i].window));
    }
    if (owner_ != nullptr) DestroyWindow(owner_);
    UnregisterClassA(kBlankClass, instance_);
  }

  // A record for a secondary monitor that is really the primary one, so the
  // window code can run on a single-monitor display.
  MonitorRecord& AddFakeSecondary(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    MonitorRecord& record = table_.records[table_.count++];
    record.monitor = primaryMonitor_;
    record.rect = Rect{left, top, right, bottom};
    record.reserved = -1;
    return record;
  }

  MonitorRecord& AddPrimary() {
    MonitorRecord& record = table_.records[table_.count++];
    record.monitor = primaryMonitor_;
    record.rect = Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    record.isPrimary = true;
    record.reserved = -1;
    return record;
  }

  HRESULT Create() { return CreateChildWindows(table_, owner_, instance_, kBlankClass, kBlankTitle); }

  HINSTANCE instance_ = nullptr;
  HWND owner_ = nullptr;
  HMONITOR primaryMonitor_ = nullptr;
  MonitorTable table_{};
};

HWND WindowOf(const MonitorRecord& record) { return static_cast<HWND>(record.window); }

TEST_F(MonitorsWin, EnumerationFindsThePrimaryAtTheDesktopOrigin) {
  EnumerateMonitors(table_);
  ASSERT_GE(table_.count, 1);
  int primaries = 0;
  for (int32_t i = 0; i < table_.count; ++i) {
    const MonitorRecord& record = table_.records[i];
    EXPECT_EQ(record.reserved, -1);
    EXPECT_EQ(record.window, nullptr);
    if (!record.isPrimary) continue;
    ++primaries;
    EXPECT_NE(record.adapterName[0], '\0');
    EXPECT_EQ(record.rect.left, 0);
    EXPECT_EQ(record.rect.top, 0);
    EXPECT_EQ(record.rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(record.rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(record.monitor, primaryMonitor_);
  }
  EXPECT_EQ(primaries, 1);

  // The primary never gets a window.
  EXPECT_EQ(Create(), S_OK);
  for (int32_t i = 0; i < table_.count; ++i) {
    if (table_.records[i].isPrimary) {
      EXPECT_EQ(table_.records[i].window, nullptr);
    }
  }
  DestroyChildWindows(table_);
}

TEST_F(MonitorsWin, BlankingWindowLifecycleOnASecondaryRecord) {
  AddPrimary();
  MonitorRecord& secondary = AddFakeSecondary(100, 120, 420, 360);
  MonitorRecord& unattached = table_.records[table_.count++];
  unattached.reserved = -1;

  lastCreateParam = nullptr;
  ASSERT_EQ(Create(), S_OK);
  EXPECT_EQ(table_.records[0].window, nullptr);
  EXPECT_EQ(unattached.window, nullptr);
  HWND window = WindowOf(secondary);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(lastCreateParam, &table_);

  char text[64] = {};
  GetClassNameA(window, text, sizeof(text));
  EXPECT_STREQ(text, kBlankClass);
  GetWindowTextA(window, text, sizeof(text));
  EXPECT_STREQ(text, kBlankTitle);
  EXPECT_EQ(GetWindow(window, GW_OWNER), owner_);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(GetWindowLongA(window, GWL_STYLE) & WS_POPUP, 0);
  RECT placed{};
  GetWindowRect(window, &placed);
  EXPECT_EQ(placed.left, 100);
  EXPECT_EQ(placed.top, 120);
  EXPECT_EQ(placed.right, 420);
  EXPECT_EQ(placed.bottom, 360);

  ShowChildWindows(table_, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(window));
  ShowChildWindows(table_, SW_SHOWNA);
  EXPECT_TRUE(IsWindowVisible(window));

  // Adjusting takes the monitor's own rectangle.
  AdjustChildWindows(table_);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetMonitorInfoA(primaryMonitor_, &info));
  EXPECT_EQ(secondary.rect.left, info.rcMonitor.left);
  EXPECT_EQ(secondary.rect.right, info.rcMonitor.right);
  EXPECT_EQ(secondary.rect.bottom, info.rcMonitor.bottom);
  GetWindowRect(window, &placed);
  EXPECT_TRUE(EqualRect(&placed, &info.rcMonitor));
  EXPECT_EQ(unattached.rect.right, 0);

  DestroyChildWindows(table_);
  EXPECT_EQ(secondary.window, nullptr);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(MonitorsWin, DestroyReachesASecondaryListedBeforeThePrimary) {
  MonitorRecord& first = AddFakeSecondary(0, 0, 200, 200);
  AddPrimary();
  MonitorRecord& third = AddFakeSecondary(200, 0, 400, 200);
  ASSERT_EQ(Create(), S_OK);
  HWND firstWindow = WindowOf(first);
  HWND thirdWindow = WindowOf(third);
  ASSERT_NE(firstWindow, nullptr);
  ASSERT_NE(thirdWindow, nullptr);

  DestroyChildWindows(table_);
  EXPECT_FALSE(IsWindow(firstWindow));
  EXPECT_FALSE(IsWindow(thirdWindow));
  EXPECT_EQ(first.window, nullptr);
  EXPECT_EQ(third.window, nullptr);
}

TEST_F(MonitorsWin, CreationStopsAtTheFirstRefusedWindow) {
  MonitorRecord& made = AddFakeSecondary(10, 10, 110, 110);
  MonitorRecord& refused = AddFakeSecondary(kRefusedX, 10, kRefusedX + 100, 110);
  MonitorRecord& skipped = AddFakeSecondary(300, 10, 400, 110);

  EXPECT_EQ(Create(), E_FAIL);
  EXPECT_NE(made.window, nullptr);  // kept, and handled as usual
  EXPECT_EQ(refused.window, nullptr);
  EXPECT_EQ(skipped.window, nullptr);

  HWND window = WindowOf(made);
  DestroyChildWindows(table_);
  EXPECT_FALSE(IsWindow(window));
}

class DisplayModesWin : public ::testing::Test {
 protected:
  void SetUp() override {
    HRESULT result = DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&directDraw_), IID_IDirectDraw7, nullptr);
    ASSERT_TRUE(SUCCEEDED(result)) << std::hex << result;
  }
  void TearDown() override {
    if (directDraw_ != nullptr) directDraw_->Release();
  }
  IDirectDraw7* directDraw_ = nullptr;
};

TEST_F(DisplayModesWin, FillListsTheDriversModesThroughTheFilters) {
  DisplayModeList all;
  ASSERT_TRUE(all.Fill(directDraw_));
  ASSERT_GT(all.Count(), 0);

  DisplayModeList list;
  list.SetMinWidth(640);
  list.SetMinHeight(480);
  list.SetMinBits(16);
  list.SetExcludedBits(24);
  ASSERT_TRUE(list.Fill(directDraw_));
  ASSERT_GT(list.Count(), 0);
  EXPECT_LE(list.Count(), all.Count());
  list.Sort();

  const DISPMODE* previous = nullptr;
  LinkedList<DISPMODE*>& modes = list.Modes();
  for (bool more = modes.First(); more; more = modes.Next()) {
    const DISPMODE* mode = modes.Current();
    EXPECT_GE(mode->width, 640);
    EXPECT_GE(mode->height, 480);
    EXPECT_GE(mode->bits, 16);
    EXPECT_NE(mode->bits, 24);
    EXPECT_EQ(mode->label, std::to_string(mode->width) + "x" + std::to_string(mode->height) + "x" +
                               std::to_string(mode->bits));
    if (previous != nullptr) {
      EXPECT_LE(previous->bits, mode->bits);
    }
    previous = mode;
  }

  // Filling again replaces the list instead of adding to it.
  const int32_t count = list.Count();
  ASSERT_TRUE(list.Fill(directDraw_));
  EXPECT_EQ(list.Count(), count);
}

TEST_F(DisplayModesWin, FillWithoutADirectDrawObjectLeavesTheListEmpty) {
  DisplayModeList list;
  list.Add(800, 600, 32);
  EXPECT_FALSE(list.Fill(nullptr));
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
