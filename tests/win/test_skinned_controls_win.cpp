// The skinned controls on real windows: a visible top-level window with
// owner-drawn BUTTON children (and a list box), pictures in memory device
// contexts filled with known colours, and the pixels read back from the
// device contexts the controls draw into.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bundle/bundle.h"
#include "tests/support/canvas_win32.h"
#include "bundle/bundle_writer.h"
#include "bundle/image_data.h"
#include "bundle/program_bundles.h"
#include "ui/button_control_win32.h"
#include "ui/list_box_slider_win32.h"
#include "ui/settings_mapping.h"
#include "ui/skin_image_win32.h"
#include "ui/slider_control_win32.h"
#include "ui/toggle_button_win32.h"
#include "ui/tooltip_win32.h"

namespace {

const COLORREF kRed = RGB(220, 20, 30);
const COLORREF kGreen = RGB(20, 200, 40);
const COLORREF kBlue = RGB(30, 40, 210);
const COLORREF kYellow = RGB(230, 220, 10);
const COLORREF kGrey = RGB(90, 90, 90);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);


DRAWITEMSTRUCT Record(HWND control, HDC dc, UINT state) {
  DRAWITEMSTRUCT record = {};
  record.CtlType = ODT_BUTTON;
  record.CtlID = static_cast<UINT>(GetDlgCtrlID(control));
  record.itemAction = ODA_DRAWENTIRE;
  record.itemState = state;
  record.hwndItem = control;
  record.hDC = dc;
  GetClientRect(control, &record.rcItem);
  return record;
}

LPARAM Mouse(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

const char kDialogClass[] = "ZvSkinnedControlsTestDialog";

// The dialog's part: a top-level window that hands WM_DRAWITEM to the test.
class SkinnedControlsWin : public ::testing::Test {
 protected:
  static LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM && current_ != nullptr && current_->onDrawItem) {
      current_->onDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  void SetUp() override {
    current_ = this;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DialogProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kDialogClass;
    RegisterClassA(&windowClass);
    dialog = CreateWindowExA(0, kDialogClass, "Skinned controls", WS_POPUP | WS_VISIBLE, 60, 40, 320, 240,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    PumpMessages();
  }

  void TearDown() override {
    for (HWND child : children) DestroyWindow(child);
    DestroyWindow(dialog);
    UnregisterClassA(kDialogClass, GetModuleHandleA(nullptr));
    current_ = nullptr;
  }

  HWND Button(int id, int x, int y, int width, int height) {
    HWND button = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, y, width, height,
                                  dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleA(nullptr), nullptr);
    children.push_back(button);
    return button;
  }

  static WNDPROC Proc(HWND window) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)); }

  HWND dialog = nullptr;
  std::vector<HWND> children;
  std::function<void(const DRAWITEMSTRUCT*)> onDrawItem;

 private:
  static SkinnedControlsWin* current_;
};

SkinnedControlsWin* SkinnedControlsWin::current_ = nullptr;

TEST_F(SkinnedControlsWin, ButtonShowsThePressedPictureOnlyWhileSelected) {
  HWND window = Button(1048, 20, 20, 40, 20);
  const WNDPROC original = Proc(window);
  Canvas normal(30, 20, kRed);
  Canvas pressed(30, 20, kGreen);
  Canvas target(40, 20, kBlue);
  HCURSOR hand = LoadCursor(nullptr, IDC_HAND);

  CButtonControl button;
  button.Attach(normal.dc(), pressed.dc(), 30, 20, window, hand);
  EXPECT_NE(Proc(window), original);

  DRAWITEMSTRUCT record = Record(window, target.dc(), 0);
  button.Draw(&record);
  EXPECT_EQ(target.At(5, 5), kRed);
  EXPECT_EQ(target.At(35, 5), kBlue);  // only width x height is copied
  record.itemState = ODS_SELECTED | ODS_FOCUS;
  button.Draw(&record);
  EXPECT_EQ(target.At(5, 5), kGreen);
  EXPECT_EQ(target.At(29, 19), kGreen);

  SetCursor(nullptr);
  EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(GetCursor(), hand);

  button.Detach();
  EXPECT_EQ(Proc(window), original);
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 0);
}

// A toggle at (40, 50), 100 x 20, on a 320 x 240 skin; the check image is
// 20 x 15 with a mask that is black on its left half and white on its right.
struct ToggleScene {
  ToggleScene() : skin(320, 240, kGrey), checked(20, 15, kRed), unchecked(20, 15, kBlue), mask(20, 15, kWhite) {
    skin.Fill(40, 50, 100, 20, kYellow);
    skin.Fill(40, 50, 1, 1, kGreen);  // marks the control's top-left corner on the skin
    mask.Fill(0, 0, 10, 15, kBlack);
  }
  Canvas skin;
  Canvas checked;
  Canvas unchecked;
  Canvas mask;
};

TEST_F(SkinnedControlsWin, ToggleDrawsItsCheckImageMaskedAtTheRightEdgeVerticallyCentred) {
  HWND window = Button(1090, 40, 50, 100, 20);
  ToggleScene scene;
  CToggleSet toggles;
  toggles.SetImages(scene.checked.dc(), scene.unchecked.dc(), scene.mask.dc(), scene.mask.dc());
  CToggleButton* toggle = toggles.Add(1090, 20, 15, window, dialog, LoadCursor(nullptr, IDC_HAND));
  ASSERT_NE(toggle, nullptr);
  EXPECT_EQ(toggle->GetOffset().left, 40);
  EXPECT_EQ(toggle->GetOffset().top, 50);
  EXPECT_EQ(toggle->GetImageX(), 80);  // 100 - 20
  EXPECT_EQ(toggle->GetImageY(), 3);   // 20 / 2 - 15 / 2

  toggles.SetChecked(1090, true);
  Canvas target(100, 20, kWhite);
  DRAWITEMSTRUCT record = Record(window, target.dc(), 0);
  ASSERT_TRUE(toggles.DrawItem(1090, scene.skin.dc(), &record));
  EXPECT_TRUE(toggles.IsChecked(1090));  // no press, no flip

  EXPECT_EQ(target.At(0, 0), kGreen);    // the skin is copied from the control's own place
  EXPECT_EQ(target.At(50, 10), kYellow);
  EXPECT_EQ(target.At(80, 3), kRed);     // mask black: the image shows
  EXPECT_EQ(target.At(90, 3), kYellow);  // mask white: the skin stays
  EXPECT_EQ(target.At(79, 10), kYellow);  // left of the image
  EXPECT_EQ(target.At(85, 2), kYellow);   // above and below it
  EXPECT_EQ(target.At(85, 18), kYellow);

  EXPECT_FALSE(toggles.DrawItem(4242, scene.skin.dc(), &record));

  // A press flips the state but still shows the old one; the release the new.
  record.itemState = ODS_SELECTED;
  toggles.DrawItem(1090, scene.skin.dc(), &record);
  EXPECT_FALSE(toggles.IsChecked(1090));
  EXPECT_EQ(target.At(85, 10), kRed);
  // Redrawn while still held (Wine does so when the focus moves away): no
  // second flip.
  toggles.DrawItem(1090, scene.skin.dc(), &record);
  EXPECT_FALSE(toggles.IsChecked(1090));
  record.itemState = 0;
  toggles.DrawItem(1090, scene.skin.dc(), &record);
  EXPECT_FALSE(toggles.IsChecked(1090));
  EXPECT_EQ(target.At(85, 10), kBlue);
  toggles.Toggle(1090);
  EXPECT_TRUE(toggles.IsChecked(1090));
}

TEST_F(SkinnedControlsWin, ClickOnARealToggleFlipsItOnce) {
  HWND window = Button(1092, 40, 50, 100, 20);
  const WNDPROC original = Proc(window);
  ToggleScene scene;
  auto* toggles = new CToggleSet;
  toggles->SetImages(scene.checked.dc(), scene.unchecked.dc(), scene.mask.dc(), scene.mask.dc());
  toggles->Add(1092, 20, 15, window, dialog, nullptr);
  PumpMessages();  // the dialog is on screen before anyone clicks
  int selectedDraws = 0;
  onDrawItem = [&](const DRAWITEMSTRUCT* record) {
    if ((record->itemState & ODS_SELECTED) != 0) ++selectedDraws;
    toggles->DrawItem(static_cast<int>(record->CtlID), scene.skin.dc(), record);
  };

  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Mouse(10, 10));
  PumpMessages();
  SendMessageA(window, WM_LBUTTONUP, 0, Mouse(10, 10));
  PumpMessages();
  UpdateWindow(window);
  PumpMessages();

  EXPECT_EQ(selectedDraws, 1);
  EXPECT_TRUE(toggles->IsChecked(1092));
  onDrawItem = nullptr;
  delete toggles;  // destroying the set detaches every toggle
  EXPECT_EQ(Proc(window), original);
}

TEST_F(SkinnedControlsWin, FilledSliderShowsFillBeforeTheKnobAndTrackAfterIt) {
  Canvas track(108, 18, kBlue);
  Canvas fill(108, 18, kGreen);
  Canvas knob(7, 18, kRed);

  CFilledSlider delay;
  delay.Configure(kDelaySliderLayout);
  delay.SetTrackImage(track.dc());
  delay.SetFillImage(fill.dc());
  delay.SetKnobImage(knob.dc());
  HWND delayWindow = Button(1020, 10, 10, 108, 17);
  delay.Attach(delayWindow);
  delay.SetValue(0.5f);  // centre at 52.25: the knob covers 48..54
  Canvas target(108, 17, kWhite);
  DRAWITEMSTRUCT record = Record(delayWindow, target.dc(), 0);
  delay.Draw(&record);
  EXPECT_EQ(target.At(0, 8), kGreen);
  EXPECT_EQ(target.At(47, 8), kGreen);
  EXPECT_EQ(target.At(48, 0), kRed);
  EXPECT_EQ(target.At(54, 16), kRed);
  EXPECT_EQ(target.At(55, 8), kBlue);
  EXPECT_EQ(target.At(107, 8), kBlue);

  // Vertical: the fill lies below the knob.
  Canvas vtrack(18, 108, kBlue);
  Canvas vfill(18, 108, kGreen);
  Canvas vknob(18, 7, kRed);
  CFilledSlider volume;
  volume.Configure(kVolumeSliderLayout);
  volume.SetTrackImage(vtrack.dc());
  volume.SetFillImage(vfill.dc());
  volume.SetKnobImage(vknob.dc());
  HWND volumeWindow = Button(1033, 200, 10, 18, 108);
  volume.Attach(volumeWindow);
  volume.SetPosition(30);  // knob rows 26..32, drawn from x = 1
  Canvas vtarget(18, 108, kWhite);
  DRAWITEMSTRUCT vrecord = Record(volumeWindow, vtarget.dc(), 0);
  volume.Draw(&vrecord);
  EXPECT_EQ(vtarget.At(9, 5), kBlue);
  EXPECT_EQ(vtarget.At(9, 25), kBlue);
  EXPECT_EQ(vtarget.At(9, 28), kRed);
  EXPECT_EQ(vtarget.At(0, 28), kBlue);  // the knob starts one pixel in
  EXPECT_EQ(vtarget.At(9, 33), kGreen);
  EXPECT_EQ(vtarget.At(9, 107), kGreen);
}

TEST_F(SkinnedControlsWin, SliderFollowsTheMouseAndInvalidatesTheNotifyRectangle) {
  CFilledSlider delay;
  delay.Configure(kDelaySliderLayout);
  HWND window = Button(1020, 10, 10, 108, 17);
  const WNDPROC original = Proc(window);
  const RECT label = {200, 100, 242, 117};
  delay.SetNotifyWindow(dialog);
  delay.SetNotifyRect(label);
  delay.Attach(window);
  EXPECT_FLOAT_EQ(delay.GetPosition(), 3.5f);  // clamped at attach
  delay.SetValue(0.5f);

  auto updated = [&](RECT& area) {
    return GetUpdateRect(dialog, &area, FALSE) != FALSE;
  };
  RECT area = {};
  ValidateRect(dialog, nullptr);

  // A press on the knob alone changes nothing.
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Mouse(52, 8));
  SendMessageA(window, WM_LBUTTONUP, 0, Mouse(52, 8));
  EXPECT_FLOAT_EQ(delay.GetPosition(), 52.25f);
  EXPECT_FALSE(updated(area));

  // Beside it: one step toward the press, and the label is to be repainted.
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Mouse(90, 8));
  SendMessageA(window, WM_LBUTTONUP, 0, Mouse(90, 8));
  EXPECT_FLOAT_EQ(delay.GetPosition(), 62.25f);
  ASSERT_TRUE(updated(area));
  EXPECT_EQ(area.left, label.left);
  EXPECT_EQ(area.top, label.top);
  EXPECT_EQ(area.right, label.right);
  EXPECT_EQ(area.bottom, label.bottom);
  ValidateRect(dialog, nullptr);

  // Moving without the button held does nothing; dragging follows.
  SendMessageA(window, WM_MOUSEMOVE, 0, Mouse(30, 8));
  EXPECT_FLOAT_EQ(delay.GetPosition(), 62.25f);
  EXPECT_FALSE(updated(area));
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Mouse(30, 8));
  EXPECT_FLOAT_EQ(delay.GetPosition(), 30.0f);
  EXPECT_TRUE(updated(area));
  // Dragged left of the window: the leftmost place, the shortest delay.
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Mouse(-12, 8));
  EXPECT_FLOAT_EQ(delay.GetPosition(), 3.5f);
  EXPECT_EQ(DelayLabelText(delay.GetValue()), "4 sec");
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Mouse(400, 8));
  EXPECT_EQ(DelayLabelText(delay.GetValue()), "30 sec");

  delay.Detach();
  EXPECT_EQ(Proc(window), original);
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 0);
  // Detached, the window's messages no longer reach the slider.
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Mouse(10, 8));
  SendMessageA(window, WM_LBUTTONUP, 0, Mouse(10, 8));
  EXPECT_FLOAT_EQ(delay.GetPosition(), 104.5f);
}

// Records what the list box is asked to scroll to; installed before the
// slider, so the slider's procedure passes the messages on to it.
std::vector<WPARAM> scrollRequests;
WNDPROC listOriginalProc = nullptr;
LRESULT CALLBACK ScrollSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_VSCROLL) scrollRequests.push_back(wParam);
  return CallWindowProcA(listOriginalProc, window, message, wParam, lParam);
}

TEST_F(SkinnedControlsWin, ListBoxSliderScrollsTheListAndFollowsItsSelection) {
  // 20 entries, 6 rows of 15 pixels visible.
  HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 120,
                              20, 92, 90, dialog, reinterpret_cast<HMENU>(1024), GetModuleHandleA(nullptr),
                              nullptr);
  ASSERT_NE(list, nullptr);
  children.push_back(list);
  SendMessageA(list, LB_SETITEMHEIGHT, 0, 15);
  for (int i = 0; i < 20; ++i) {
    const std::string text = "Mode " + std::to_string(i);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  scrollRequests.clear();
  listOriginalProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ScrollSpy)));
  SetWindowLongPtrA(list, GWLP_USERDATA, 0x5EED);

  Canvas track(15, 94, kBlue);
  Canvas knob(13, 13, kRed);
  CListBoxSlider modes;
  modes.Configure(kDisplayModeSliderLayout);
  modes.SetTrackImage(track.dc());
  modes.SetKnobImage(knob.dc());
  modes.SetVisibleRows(kDisplayModeVisibleRows);
  modes.AttachListBox(list);
  HWND window = Button(1052, 214, 20, 15, 94);
  modes.Attach(window);
  EXPECT_EQ(modes.GetValue(), 0.0f);

  // Dragged to the bottom: the request is for row 15, the list box stops at
  // its last full page.
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Mouse(7, 300));
  EXPECT_EQ(modes.GetValue(), 1.0f);
  ASSERT_EQ(scrollRequests.size(), 1u);
  EXPECT_EQ(scrollRequests.back(), static_cast<WPARAM>(15 * 0x10000 + SB_THUMBTRACK));
  EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 14);

  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Mouse(7, -4));
  EXPECT_EQ(modes.GetValue(), 0.0f);
  EXPECT_EQ(scrollRequests.back(), static_cast<WPARAM>(SB_THUMBTRACK));
  EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);

  // The wheel turned down from the top: knob start 0 + 17, value 10.5 / 81,
  // row trunc(1.94) = 1.
  SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), Mouse(7, 7));
  EXPECT_FLOAT_EQ(modes.GetPosition(), 17.0f);
  EXPECT_EQ(scrollRequests.back(), static_cast<WPARAM>(1 * 0x10000 + SB_THUMBTRACK));
  EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 1);

  // A press below the knob steps 35 down and scrolls.
  const size_t before = scrollRequests.size();
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Mouse(7, 80));
  SendMessageA(window, WM_LBUTTONUP, 0, Mouse(7, 80));
  EXPECT_FLOAT_EQ(modes.GetPosition(), 52.0f);
  EXPECT_EQ(scrollRequests.size(), before + 1);

  // Selecting in the list moves the knob.
  SendMessageA(list, LB_SETCURSEL, 19, 0);
  SendMessageA(list, WM_LBUTTONUP, 0, Mouse(5, 5));
  EXPECT_EQ(modes.GetValue(), 1.0f);
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  SendMessageA(list, WM_LBUTTONUP, 0, Mouse(5, 5));
  EXPECT_EQ(modes.GetValue(), 0.0f);
  SendMessageA(list, LB_SETCURSEL, 19, 0);
  SendMessageA(list, WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(modes.GetValue(), 1.0f);

  // The knob was drawn into the slider's own window DC meanwhile; the
  // record for the dialog's WM_DRAWITEM draws the same.
  Canvas target(15, 94, kWhite);
  DRAWITEMSTRUCT record = Record(window, target.dc(), 0);
  modes.Draw(&record);
  EXPECT_EQ(target.At(7, 87), kRed);  // knob rows 81..93
  EXPECT_EQ(target.At(7, 80), kBlue);

  modes.Detach();
  EXPECT_EQ(Proc(list), ScrollSpy);
  EXPECT_EQ(GetWindowLongPtrA(list, GWLP_USERDATA), 0x5EED);
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  SendMessageA(list, WM_LBUTTONUP, 0, Mouse(5, 5));
  EXPECT_EQ(modes.GetValue(), 1.0f);  // no longer listening
}

TEST_F(SkinnedControlsWin, TooltipIsATopmostToolTipWindowCoveringTheControl) {
  HWND window = Button(1087, 20, 20, 83, 44);
  static const char kText[] = "Click here to select custom music";
  HWND tip = AddTooltip(window, kText, 250, 0, 0, 0, nullptr, -1);
  ASSERT_NE(tip, nullptr);
  char className[64] = {};
  GetClassNameA(tip, className, sizeof className);
  EXPECT_STREQ(className, "tooltips_class32");
  EXPECT_NE(GetWindowLongPtrA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 250);

  DestroyWindow(tip);

  // A delay other than -1 is set.
  HWND timed = AddTooltip(window, kText, 120, 0, 0, 0, nullptr, 4321);
  ASSERT_NE(timed, nullptr);
  EXPECT_EQ(SendMessageA(timed, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 4321);
  EXPECT_EQ(SendMessageA(timed, TTM_GETMAXTIPWIDTH, 0, 0), 120);
  DestroyWindow(timed);
}

// A 6 x 4 picture, every pixel its own colour, as the bytes of a BMP file.
COLORREF Unique(int x, int y) { return RGB(x * 40 + 5, y * 60 + 7, 100); }

std::vector<uint8_t> UniqueBitmapFile() {
  CImageData image;
  if (!image.Create(6, 4)) return {};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      uint8_t* p = image.GetPixels() + y * image.GetStride() + x * 4;
      p[0] = GetBValue(Unique(x, y));
      p[1] = GetGValue(Unique(x, y));
      p[2] = GetRValue(Unique(x, y));
      p[3] = 255;
    }
  return image.EncodeWindowsBitmap();
}

std::string TempBundlePath() {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "zv_skin_images_test.bdl";
}

TEST_F(SkinnedControlsWin, SkinImagesBecomeMemoryDeviceContexts) {
  const std::vector<uint8_t> picture = UniqueBitmapFile();
  ASSERT_FALSE(picture.empty());
  BundleWriter writer;
  ASSERT_TRUE(writer.AddCategory("skin"));
  ASSERT_TRUE(writer.AddFile("slide_knob_6_4.bmp", picture));
  ASSERT_TRUE(writer.AddFile("notes.txt", "not a picture", 13));
  const std::string path = TempBundlePath();
  ASSERT_TRUE(writer.WriteTo(path));
  VFBUNDLE bundle;
  ASSERT_TRUE(bundle.Open(path));

  CSkinImage knob;
  ASSERT_TRUE(knob.Load(bundle, "SLIDE_KNOB_6_4.BMP"));
  ASSERT_NE(knob.Context(), nullptr);
  EXPECT_EQ(knob.GetWidth(), 6);
  EXPECT_EQ(knob.GetHeight(), 4);
  EXPECT_EQ(GetPixel(knob.Context(), 0, 0), Unique(0, 0));
  EXPECT_EQ(GetPixel(knob.Context(), 5, 3), Unique(5, 3));

  CSkinImage broken;
  EXPECT_FALSE(broken.Load(bundle, "notes.txt"));
  EXPECT_EQ(broken.Context(), nullptr);
  EXPECT_EQ(broken.GetWidth(), 0);

  // A cut of the skin picture: the rectangle, in a bitmap of its own.
  Canvas skin(320, 240, kGrey);
  skin.Fill(100, 50, 30, 20, kYellow);
  skin.Fill(100, 50, 1, 1, kGreen);
  CSkinImage cut;
  ASSERT_TRUE(cut.CutFrom(dialog, skin.dc(), 100, 50, 30, 20));
  EXPECT_EQ(cut.GetWidth(), 30);
  EXPECT_EQ(cut.GetHeight(), 20);
  EXPECT_EQ(GetPixel(cut.Context(), 0, 0), kGreen);
  EXPECT_EQ(GetPixel(cut.Context(), 29, 19), kYellow);
  skin.Fill(0, 0, 320, 240, kBlack);  // the cut keeps its own copy
  EXPECT_EQ(GetPixel(cut.Context(), 15, 10), kYellow);

  bundle.Close();
  DeleteFileA(path.c_str());
}

TEST_F(SkinnedControlsWin, TheSkinBundleIsTheProgramsOwnTail) {
  theSkinBundle.Close();
  ASSERT_TRUE(OpenSkinBundle());
  EXPECT_NE(theSkinBundle.FindCategory("tailtest"), nullptr);
  CSkinImage text;
  EXPECT_FALSE(text.Load("greeting.txt"));  // there, but no picture
  EXPECT_FALSE(text.Load("menuskin.jpg"));  // not in this program's tail
  theSkinBundle.Close();
}

}  // namespace
