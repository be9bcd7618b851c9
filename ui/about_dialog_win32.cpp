#include "ui/about_dialog_win32.h"

#include <shellapi.h>

#include <memory>

#include "foundation/product.h"
#include "foundation/web_server.h"
#include "ui/attached_controls.h"
#include "ui/button_control_win32.h"
#include "ui/credit_lines.h"
#include "ui/credit_scroller_win32.h"
#include "ui/hyperlink_win32.h"
#include "ui/object_dialog_win32.h"
#include "ui/resource_ids.h"
#include "ui/skin_image_win32.h"
#include "ui/tooltip_win32.h"

namespace {

const UINT_PTR kFrameTimer = 1;
const RECT kSiteButton = {456, 330, 456 + 154, 330 + 28};
const POINT kSiteFaceOnSkin = {14, 94};

struct AboutRequest {
  HDC skin;
  std::string webServer;
};

class AboutDialog {
 public:
  AboutDialog(HWND dialog, const AboutRequest& request) : dialog_(dialog), request_(request) {}
  ~AboutDialog();
  void Initialize();
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Tick();
  void DrawItem(const DRAWITEMSTRUCT* record);
  void OpenSite() const;

 private:
  HWND dialog_;
  AboutRequest request_;
  CreditScroller scroller_;
  HFONT font_ = nullptr;
  HWND siteButton_ = nullptr;
  HWND tooltip_ = nullptr;
  CSkinImage face_;
  CButtonControl button_;
  AttachedControls attached_;
};

void AboutDialog::Initialize() {
  SetDlgItemTextA(dialog_, IDC_ABOUT_LINK, WebPageAddress(request_.webServer, kHomePagePath).c_str());
  MakeHyperlinkById(dialog_, IDC_ABOUT_LINK, kHyperlinkColour);
  SetTimer(dialog_, kFrameTimer, 1, nullptr);

  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog_, GWLP_HINSTANCE));
  const int width = kSiteButton.right - kSiteButton.left;
  const int height = kSiteButton.bottom - kSiteButton.top;
  siteButton_ = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                                kSiteButton.left, kSiteButton.top, width, height, dialog_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ABOUT_SITE)), instance, nullptr);
  if (siteButton_ != nullptr) {
    face_.CutFrom(siteButton_, request_.skin, kSiteFaceOnSkin.x, kSiteFaceOnSkin.y, width, height);
    attached_.Attach(button_, face_.Context(), face_.Context(), width, height, siteButton_,
                     LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
    tooltip_ = AddTooltip(siteButton_, "Click to visit Quorrin Software's website", 250);
  }

  font_ = CreateFontA(-20, 0, 0, 0, 700, 1, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      ANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial");
  scroller_.SetFont(font_);
  scroller_.Attach(GetDlgItem(dialog_, IDC_CREDITS_PANEL));
  scroller_.SetLineGap(0);
  for (const std::string& line : CreditLines()) scroller_.AddLine(line);
  scroller_.Start();
  SetWindowTextA(dialog_, (std::string("About ") + kProductName + "  v " + kVersionNumber).c_str());
}

void AboutDialog::Tick() {
  HWND panel = GetDlgItem(dialog_, IDC_CREDITS_PANEL);
  HDC dc = GetDC(panel);
  scroller_.DrawFrame(dc);
  ReleaseDC(panel, dc);
}

void AboutDialog::DrawItem(const DRAWITEMSTRUCT* record) {
  if (record->CtlID == IDC_CREDITS_PANEL)
    scroller_.DrawFrame(record->hDC);
  else if (record->CtlID == IDC_ABOUT_SITE)
    button_.Draw(record);
}

void AboutDialog::OpenSite() const {
  ShellExecuteA(nullptr, nullptr, WebPageAddress(request_.webServer, kHomePagePath).c_str(), nullptr,
                nullptr, SW_SHOWMAXIMIZED);
}

AboutDialog::~AboutDialog() {
  // The credits' canvas holds the font: it goes first, or the font cannot
  // be deleted and one leaks per opening.
  scroller_.Release();
  KillTimer(dialog_, kFrameTimer);
  attached_.DetachAll();
  face_.Release();
  if (siteButton_ != nullptr) DestroyWindow(siteButton_);
  if (tooltip_ != nullptr) DestroyWindow(tooltip_);
  if (font_ != nullptr) DeleteObject(font_);
}

INT_PTR AboutDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kFrameTimer) Tick();
      return TRUE;
    case WM_DRAWITEM:
      DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
          EndDialog(dialog_, LOWORD(wParam));
          return TRUE;
        case IDC_ABOUT_LINK:
        case IDC_ABOUT_SITE:
          OpenSite();
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR RunAboutDialog(HWND owner, HDC skin, const std::string& webServer) {
  AboutRequest request = {skin, webServer};
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
  return RunObjectDialog<AboutDialog>(instance, IDD_ABOUT, owner, request);
}
