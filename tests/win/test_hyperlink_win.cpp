// Hyperlink statics on real windows: one parent subclass for any number of
// links, the link colour on WM_CTLCOLORSTATIC, the underline while the
// mouse is over the link, and nothing left behind when the windows go.
#include <gtest/gtest.h>

#include <windows.h>

#include "ui/hyperlink_win32.h"

namespace {

// A parent that answers WM_CTLCOLORSTATIC with a brush and leaves the text
// colour alone, as a dialog does.
LRESULT CALLBACK ParentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  return DefWindowProcA(window, message, wParam, lParam);
}

WNDPROC Proc(HWND window) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)); }

class HyperlinkWin : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ParentWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ZvHyperlinkParent";
    RegisterClassA(&windowClass);
    parent = CreateWindowExA(0, "ZvHyperlinkParent", "parent", WS_POPUP | WS_VISIBLE, 50, 50, 300, 200, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    for (int i = 0; i < 3; ++i) {
      statics[i] = CreateWindowExA(0, "STATIC", "http://host/", WS_CHILD | WS_VISIBLE, 10, 10 + 40 * i, 150, 20,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)),
                                   GetModuleHandleA(nullptr), nullptr);
      ASSERT_NE(statics[i], nullptr);
    }
    dc = CreateCompatibleDC(nullptr);
  }
  void TearDown() override {
    DeleteDC(dc);
    if (IsWindow(parent)) DestroyWindow(parent);
  }
  COLORREF ColourFor(HWND control) {
    SetTextColor(dc, RGB(1, 2, 3));
    brush = SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(control));
    return GetTextColor(dc);
  }
  HWND parent = nullptr;
  HWND statics[3] = {};
  HDC dc = nullptr;
  LRESULT brush = 0;
};

TEST_F(HyperlinkWin, TwoLinksSubclassTheParentOnceAndBothGetTheirColour) {
  const WNDPROC original = Proc(parent);
  EXPECT_EQ(MakeHyperlink(statics[0], kHyperlinkColour), 1);
  const WNDPROC subclassed = Proc(parent);
  EXPECT_NE(subclassed, original);
  EXPECT_EQ(MakeHyperlinkById(parent, 101, RGB(0, 128, 0)), 1);
  EXPECT_EQ(Proc(parent), subclassed);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetPropA(parent, "_Hyperlink_Original_Proc_")), original);
  EXPECT_EQ(ColourFor(statics[0]), kHyperlinkColour);
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)));  // the parent's answer
  EXPECT_EQ(ColourFor(statics[1]), RGB(0, 128, 0));
  EXPECT_EQ(ColourFor(statics[2]), RGB(1, 2, 3));  // not a link: left alone
  EXPECT_NE(GetWindowLongPtrA(statics[0], GWL_STYLE) & SS_NOTIFY, 0);
}

TEST_F(HyperlinkWin, TheMouseUnderlinesTheLinkAndLeavingRemovesIt) {
  MakeHyperlink(statics[0], kHyperlinkColour);
  HFONT underline = static_cast<HFONT>(GetPropA(statics[0], "_Hyperlink_Underline_Font_"));
  ASSERT_NE(underline, nullptr);
  LOGFONTA description = {};
  ASSERT_NE(GetObjectA(underline, sizeof description, &description), 0);
  EXPECT_TRUE(description.lfUnderline);

  SendMessageA(statics[0], WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(GetCapture(), statics[0]);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(statics[0], WM_GETFONT, 0, 0)), underline);
  SendMessageA(statics[0], WM_MOUSEMOVE, 0, MAKELPARAM(5, 8));  // still over it
  EXPECT_EQ(GetCapture(), statics[0]);
  SendMessageA(statics[0], WM_MOUSEMOVE, 0, MAKELPARAM(400, 5));  // off it
  EXPECT_NE(GetCapture(), statics[0]);
  EXPECT_NE(reinterpret_cast<HFONT>(SendMessageA(statics[0], WM_GETFONT, 0, 0)), underline);
}

TEST_F(HyperlinkWin, AnAddressWithAnAmpersandIsShownAsItIs) {
  SetWindowTextA(statics[1], "http://host/specials.htm?appName=Z&version=1");
  MakeHyperlink(statics[1], kHyperlinkColour);
  // Without it the static would draw "&v" as an underlined "v".
  EXPECT_NE(GetWindowLongPtrA(statics[1], GWL_STYLE) & SS_NOPREFIX, 0);
  EXPECT_NE(GetWindowLongPtrA(statics[1], GWL_STYLE) & SS_NOTIFY, 0);
}

TEST_F(HyperlinkWin, DestroyedWhileHoveredItLeavesNoFontBehind) {
  MakeHyperlink(statics[0], kHyperlinkColour);
  HGDIOBJ underline = GetPropA(statics[0], "_Hyperlink_Underline_Font_");
  SendMessageA(statics[0], WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  DestroyWindow(statics[0]);
  EXPECT_EQ(GetObjectType(underline), 0u);
  // The parent gets its own procedure back when it goes.
  const WNDPROC original = reinterpret_cast<WNDPROC>(GetPropA(parent, "_Hyperlink_Original_Proc_"));
  SendMessageA(parent, WM_DESTROY, 0, 0);
  EXPECT_EQ(Proc(parent), original);
  EXPECT_EQ(GetPropA(parent, "_Hyperlink_Original_Proc_"), nullptr);
}

}  // namespace
