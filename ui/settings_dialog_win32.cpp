#include "ui/settings_dialog_win32.h"

#include <htmlhelp.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "bundle/bundle.h"
#include "bundle/program_bundles.h"
#include "foundation/logger.h"
#include "foundation/product.h"
#include "foundation/rect_win32.h"
#include "foundation/saver_settings.h"
#include "foundation/web_server.h"
#include "graphics/display_modes.h"
#include "graphics/game_error_win32.h"
#include "graphics/graphics_layer_win32.h"
#include "ui/about_dialog_win32.h"
#include "ui/attached_controls.h"
#include "ui/button_control_win32.h"
#include "ui/captions_dialog_win32.h"
#include "ui/key_forwarder_win32.h"
#include "ui/list_box_slider_win32.h"
#include "ui/music_dialog_win32.h"
#include "ui/resource_ids.h"
#include "ui/settings_mapping.h"
#include "ui/settings_tables.h"
#include "ui/skin_image_win32.h"
#include "ui/slider_control_win32.h"
#include "ui/speed_tips_win32.h"
#include "ui/subclass_win32.h"
#include "ui/toggle_button_win32.h"
#include "ui/update_dialog_win32.h"
#include "ui/tooltip_win32.h"

namespace {

const char kSkinPictureName[] = "menuskin.jpg";
const char kToggleMaskName[] = "toggle_mask_3.bmp";
const char kVolumeTrackName[] = "VSliderBG_108_18_1.jpg";
const char kVolumeKnobName[] = "slide_knob_18_7_1.jpg";
const char kDelayTrackName[] = "SliderBG_108_18_1.jpg";
const char kDelayKnobName[] = "slide_knob_7_18_1.jpg";
const char kModeKnobName[] = "slide_knob_13_13_1.jpg";

const int kDialogWidth = 640;
const int kDialogHeight = 458;
const COLORREF kTextColour = 0xD4F1F8;
const int kTooltipWidth = 250;

const char kSkinAdvice[] = " menu graphic! File probably corrupt.\nTry re-installing or re-downloading this screensaver";
const char kDirectDrawText[] =
    "There was a problem initializing DirectDraw.\n\nIf you experience problems running the\n"
    "screensaver, try enabling the \"fast mode\" option.";

// The sliders outlive the dialog: each opening attaches them to new windows.
CFilledSlider volumeSlider;
CFilledSlider delaySlider;
CListBoxSlider modeSlider;

class SettingsDialog {
 public:
  SettingsDialog(HWND dialog, const SettingsDialogContext& context)
      : dialog_(dialog), context_(context), settings_(*context.settings) {}
  ~SettingsDialog() { Destroy(); }

  void Initialize(WPARAM wParam);
  void Paint();
  void DrawItem(const DRAWITEMSTRUCT* record);
  void Command(WPARAM wParam);
  void KeyDown(WPARAM key);
  void ButtonDown();
  void Destroy();
  // The fast-mode toggle's window, below the toggle's own procedure.
  LRESULT FastModeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  bool LoadSkin(WPARAM wParam, bool& ended);
  void ApplyRegion();
  void SetUpControls();
  void SetUpButtons();
  void SetUpToggles();
  void SetUpSliders();
  void SetUpTooltips();
  void CentreWindow();
  void FillDisplayModes();
  void SaveAndClose();
  void OpenHelp() const;
  void OpenPage(const std::string& path) const;
  HWND CreateOwnerDrawnButton(int id, const SkinRect& rect);
  CSkinImage* Keep(std::unique_ptr<CSkinImage> image);
  CSkinImage* Cut(HWND window, const SkinRect& rect);
  CSkinImage* LoadFromBundle(const char* name);
  void DrawPlainButton(const DRAWITEMSTRUCT* record) const;

  HWND dialog_;
  SettingsDialogContext context_;
  SaverSettings& settings_;
  bool skinned_ = true;
  bool controlsReady_ = false;  // the toggles and sliders hold the settings
  CSkinImage skin_;
  int skinWidth_ = 0;
  int skinHeight_ = 0;
  HFONT font_ = nullptr;
  RECT delayLabel_ = {};
  KeyForwarder keys_;
  HCURSOR hand_ = nullptr;
  std::unique_ptr<CButtonControl[]> buttons_ = std::make_unique<CButtonControl[]>(kSettingsButtonCount);
  CToggleSet toggles_;
  std::vector<std::unique_ptr<CSkinImage>> images_;
  AttachedControls attached_;
  std::vector<HWND> tooltips_;
  HWND volumeWindow_ = nullptr;
  HWND modeWindow_ = nullptr;
  WNDPROC fastModePrevious_ = nullptr;
  DisplayModeList modes_;
  cGraphicsLayer* layer_ = nullptr;
  bool destroyed_ = false;
};

SettingsDialog* theDialog = nullptr;

LRESULT CALLBACK FastModeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (theDialog == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return theDialog->FastModeProc(window, message, wParam, lParam);
}

void SettingsDialog::Initialize(WPARAM wParam) {
  ZV_LOG_FUNCTION("WM_INITDIALOG");
  hand_ = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
  keys_.Install(dialog_);
  bool ended = false;
  if (LoadSkin(wParam, ended)) {
    ApplyRegion();
    ZV_LOG_INFO("Acquiring bitmap object from image data");
    if (!skin_.CreateContext()) {
      ZV_LOG(kLogError, "Could not acquire bitmap object!");
      skinned_ = false;
    } else {
      SetUpControls();
    }
  }
  theSkinBundle.Close();
  if (ended) return;

  CentreWindow();
  font_ = CreateFontA(-13, 0, 0, 0, 700, 1, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, 0, ANTIALIASED_QUALITY, 0,
                      "Arial");
  delayLabel_ = ToRECT(kDelayLabelRect);
  FillDisplayModes();
  if (settings_.ShowSpeedTip && settings_.AvgFps < 10) RunSpeedTips(dialog_, settings_);
}

// Opens the skin bundle, reads and decodes the skin picture. False when the
// skin is not there; `ended` when the dialog had to close.
bool SettingsDialog::LoadSkin(WPARAM wParam, bool& ended) {
  ZV_LOG_INFO("Initializing config dialog (WM_INITDIALOG)");
  ZV_LOG_INFO("Opening bundled menu graphic");
  auto fail = [this](const char* verb, const char* logLine) {
    skinned_ = false;
    MessageBoxA(dialog_, (std::string("Error ") + verb + kSkinAdvice).c_str(), "ERROR", MB_OK);
    ZV_LOG(kLogError, logLine);
    return false;
  };
  if (!OpenSkinBundle()) return fail("opening", "Could not open menu graphic!");
  ZV_LOG_INFO("Reading bundled menu graphic");
  const uint8_t* data = theSkinBundle.LoadFileAnyCategory(kSkinPictureName);
  if (data == nullptr) return fail("reading", "Could not read menu graphic!");
  if (!skin_.Decode(data, theSkinBundle.GetFileSizeAnyCategory(kSkinPictureName))) {
    fail("loading", "Could not load menu graphic!");
    ended = true;
    EndDialog(dialog_, LOWORD(wParam));
    return false;
  }
  skinWidth_ = skin_.GetWidth();
  skinHeight_ = skin_.GetHeight();
  return true;
}

void SettingsDialog::ApplyRegion() {
  ZV_LOG_INFO("Checking OS");
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog_, GWLP_HINSTANCE));
  HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(IDR_SKIN_REGION), "Binary");
  HGLOBAL loaded = resource != nullptr ? LoadResource(instance, resource) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  HRGN region = data != nullptr ? ExtCreateRegion(nullptr, SizeofResource(instance, resource),
                                                  static_cast<const RGNDATA*>(data))
                                : nullptr;
  if (region == nullptr) {
    ZV_LOG(kLogError, "Problem creating regoin!");
    skinned_ = false;
    return;
  }
  SetWindowRgn(dialog_, region, TRUE);
  DeleteObject(region);
}

void SettingsDialog::SetUpControls() {
  SetUpButtons();
  SetUpToggles();
  SetUpSliders();
  SetUpTooltips();
  controlsReady_ = true;
}

CSkinImage* SettingsDialog::Keep(std::unique_ptr<CSkinImage> image) {
  images_.push_back(std::move(image));
  return images_.back().get();
}

CSkinImage* SettingsDialog::Cut(HWND window, const SkinRect& rect) {
  auto image = std::make_unique<CSkinImage>();
  image->CutFrom(window, skin_.Context(), rect.x, rect.y, rect.width, rect.height);
  return Keep(std::move(image));
}

CSkinImage* SettingsDialog::LoadFromBundle(const char* name) {
  auto image = std::make_unique<CSkinImage>();
  image->Load(theSkinBundle, name);
  return Keep(std::move(image));
}

void SettingsDialog::SetUpButtons() {
  for (int i = 0; i < kSettingsButtonCount; ++i) {
    const PushButtonEntry& entry = kSettingsButtons[i];
    HWND window = GetDlgItem(dialog_, entry.id);
    if (window == nullptr) continue;
    MoveWindow(window, entry.rect.x, entry.rect.y, entry.rect.width, entry.rect.height, TRUE);
    HDC face = Cut(window, entry.rect)->Context();
    attached_.Attach(buttons_[i], face, face, entry.rect.width, entry.rect.height, window, hand_);
  }
}

HWND SettingsDialog::CreateOwnerDrawnButton(int id, const SkinRect& rect) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog_, GWLP_HINSTANCE));
  return CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, rect.x, rect.y,
                         rect.width, rect.height, dialog_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         instance, nullptr);
}

void SettingsDialog::SetUpToggles() {
  CSkinImage* checked = Cut(dialog_, kToggleCheckedCut);
  CSkinImage* unchecked = Cut(dialog_, kToggleUncheckedCut);
  CSkinImage* mask = LoadFromBundle(kToggleMaskName);
  toggles_.SetImages(checked->Context(), unchecked->Context(), mask->Context(), mask->Context());
  for (int i = 0; i < kSettingsToggleCount; ++i) {
    const ToggleEntry& entry = kSettingsToggles[i];
    HWND window = CreateOwnerDrawnButton(entry.id, entry.rect);
    if (window == nullptr) continue;
    if (entry.setting == Toggle_FastMode)
      fastModePrevious_ = SubclassWindow(window, this, FastModeProcedure);
    toggles_.Add(entry.id, mask->GetWidth(), mask->GetHeight(), window, dialog_, hand_);
    toggles_.SetChecked(entry.id, IsToggleChecked(settings_, entry.setting));
  }
}

void SettingsDialog::SetUpSliders() {
  volumeWindow_ = CreateOwnerDrawnButton(IDC_VOLUME_SLIDER, kVolumeSliderRect);
  volumeSlider.SetTrackImage(LoadFromBundle(kVolumeTrackName)->Context());
  volumeSlider.SetKnobImage(LoadFromBundle(kVolumeKnobName)->Context());
  volumeSlider.SetFillImage(Cut(dialog_, kVolumeSliderRect)->Context());
  volumeSlider.Configure(kVolumeSliderLayout);
  attached_.Attach(volumeSlider, volumeWindow_);
  volumeSlider.SetValue(VolumeSliderValue(settings_.MusicVol));

  HWND delayWindow = GetDlgItem(dialog_, IDC_DELAY_SLIDER);
  MoveWindow(delayWindow, kDelaySliderRect.x, kDelaySliderRect.y, kDelaySliderRect.width,
             kDelaySliderRect.height, TRUE);
  delaySlider.SetTrackImage(LoadFromBundle(kDelayTrackName)->Context());
  delaySlider.SetKnobImage(LoadFromBundle(kDelayKnobName)->Context());
  delaySlider.SetFillImage(Cut(dialog_, kDelayFillCut)->Context());
  delaySlider.Configure(kDelaySliderLayout);
  delaySlider.SetNotifyWindow(dialog_);
  delaySlider.SetNotifyRect(ToRECT(kDelayLabelRect));
  attached_.Attach(delaySlider, delayWindow);
  delaySlider.SetValue(DelaySliderValue(settings_.ImageDelay));

  modeWindow_ = CreateOwnerDrawnButton(IDC_MODE_SLIDER, kModeSliderRect);
  modeSlider.SetTrackImage(Cut(dialog_, kModeSliderRect)->Context());
  modeSlider.SetKnobImage(LoadFromBundle(kModeKnobName)->Context());
  modeSlider.Configure(kDisplayModeSliderLayout);
  modeSlider.SetVisibleRows(kDisplayModeVisibleRows);
  HWND list = GetDlgItem(dialog_, IDC_DISPLAY_MODES);
  MoveWindow(list, kModeListRect.x, kModeListRect.y, kModeListRect.width, kModeListRect.height, TRUE);
  modeSlider.AttachListBox(list);  // let go of by the slider's Detach
  attached_.Attach(modeSlider, modeWindow_);
}

void SettingsDialog::SetUpTooltips() {
  auto add = [this](HWND control, const char* text) {
    if (control == nullptr) return;
    HWND tooltip = AddTooltip(control, text, kTooltipWidth);
    if (tooltip != nullptr) tooltips_.push_back(tooltip);
  };
  const std::string about = AboutTooltip();
  for (int i = 0; i < kSettingsButtonCount; ++i) {
    const PushButtonEntry& entry = kSettingsButtons[i];
    add(GetDlgItem(dialog_, entry.id), entry.tooltip != nullptr ? entry.tooltip : about.c_str());
  }
  for (int i = 0; i < kSettingsToggleCount; ++i)
    add(GetDlgItem(dialog_, kSettingsToggles[i].id), kSettingsToggles[i].tooltip);
  add(volumeWindow_, kVolumeTooltip);
  add(GetDlgItem(dialog_, IDC_DELAY_SLIDER), kDelayTooltip);
  add(modeWindow_, kModeTooltip);
  add(GetDlgItem(dialog_, IDC_DISPLAY_MODES), kModeTooltip);
}

void SettingsDialog::CentreWindow() {
  RECT window = {};
  GetWindowRect(dialog_, &window);
  POINT corner = {(window.right - window.left) / 2 - kDialogWidth / 2,
                  (window.bottom - window.top) / 2 - kDialogHeight / 2};
  ClientToScreen(dialog_, &corner);
  MoveWindow(dialog_, corner.x, corner.y, kDialogWidth, kDialogHeight, TRUE);
  SetWindowTextA(dialog_, (std::string(kProductName) + "  v " + kVersionNumber).c_str());
}

void SettingsDialog::FillDisplayModes() {
  HWND list = GetDlgItem(dialog_, IDC_DISPLAY_MODES);
  const LRESULT none = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("No change"));
  SendMessageA(list, LB_SETITEMDATA, none, 0);
  SendMessageA(list, LB_SETCURSEL, none, 0);
  try {
    layer_ = cGraphicsLayer::CreateDirectDrawLayer(dialog_, nullptr);
  } catch (const cGameError& error) {
    layer_ = theGraphicsLayer;
    ZV_LOG(kLogCritical, error.GetText());
    MessageBoxA(dialog_, kDirectDrawText, "ERROR", MB_OK);
  }
  if (layer_ != nullptr && !layer_->IsFailed()) {
    modes_.SetMinWidth(640);
    modes_.SetMinHeight(480);
    modes_.SetMinBits(16);
    modes_.SetExcludedBits(24);
    modes_.Fill(layer_->GetDDraw());
    modes_.Sort();
  }
  int selected = 0;
  for (bool more = modes_.Modes().First(); more; more = modes_.Modes().Next()) {
    DISPMODE* mode = modes_.Modes().Current();
    const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode->label.c_str()));
    SendMessageA(list, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(mode));
    if (mode->width == settings_.DispModeWidth && mode->height == settings_.DispModeHeight &&
        mode->bits == settings_.DispModeBits) {
      SendMessageA(list, LB_SETCURSEL, index, 0);
      selected = static_cast<int>(index);
    }
  }
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  if (count > 1) modeSlider.SetValue(static_cast<float>(selected) / static_cast<float>(count - 1));
}

void SettingsDialog::Paint() {
  if (!skinned_) return;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog_, &paint);
  BitBlt(dc, 0, 0, skinWidth_, skinHeight_, skin_.Context(), 0, 0, SRCCOPY);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kTextColour);
  HGDIOBJ previousFont = SelectObject(dc, font_);
  std::string label = DelayLabelText(delaySlider.GetValue());
  DrawTextA(dc, label.c_str(), -1, &delayLabel_, 0);
  SelectObject(dc, previousFont);
  EndPaint(dialog_, &paint);
}

// Without the skin the resource's owner-drawn buttons would be invisible;
// they get a plain face with their caption so the dialog stays usable.
void SettingsDialog::DrawPlainButton(const DRAWITEMSTRUCT* record) const {
  if (record->CtlID == IDC_DELAY_SLIDER) return;  // a slider without its pictures is no button
  RECT area = record->rcItem;
  UINT state = DFCS_BUTTONPUSH;
  if ((record->itemState & ODS_SELECTED) != 0) state |= DFCS_PUSHED;
  DrawFrameControl(record->hDC, &area, DFC_BUTTON, state);
  char text[64] = {};
  GetWindowTextA(record->hwndItem, text, sizeof text);
  SetBkMode(record->hDC, TRANSPARENT);
  DrawTextA(record->hDC, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void SettingsDialog::DrawItem(const DRAWITEMSTRUCT* record) {
  if (!controlsReady_) {
    DrawPlainButton(record);
    return;
  }
  const int id = static_cast<int>(record->CtlID);
  for (int i = 0; i < kSettingsButtonCount; ++i) {
    if (kSettingsButtons[i].id == id) {
      buttons_[i].Draw(record);
      return;
    }
  }
  switch (id) {
    case IDC_DELAY_SLIDER:
      delaySlider.Draw(record);
      InvalidateRect(dialog_, &delayLabel_, FALSE);
      return;
    case IDC_VOLUME_SLIDER:
      volumeSlider.Draw(record);
      return;
    case IDC_MODE_SLIDER:
      modeSlider.Draw(record);
      return;
    default:
      toggles_.DrawItem(id, skin_.Context(), record);
  }
}

void SettingsDialog::SaveAndClose() {
  // Without the skin there are no toggles or sliders: the settings stay as
  // they were read rather than being overwritten by empty controls.
  if (controlsReady_) {
    for (int i = 0; i < kSettingsToggleCount; ++i)
      StoreToggle(settings_, kSettingsToggles[i].setting, toggles_.IsChecked(kSettingsToggles[i].id));
    settings_.MusicVol = MusicVolFromSliderValue(volumeSlider.GetValue());
    settings_.ImageDelay = static_cast<float>(ImageDelayFromSliderValue(delaySlider.GetValue()));
  }
  ZV_LOG_INFO("Writing registry settings");
  settings_.Save();
  EndDialog(dialog_, 1);
}

void SettingsDialog::OpenHelp() const {
  HtmlHelpA(GetDesktopWindow(), context_.helpFile.c_str(), HH_HELP_CONTEXT, 1);
}

void SettingsDialog::OpenPage(const std::string& path) const {
  ShellExecuteA(nullptr, nullptr, WebPageAddress(context_.webServer, path).c_str(), nullptr, nullptr,
                SW_SHOWMAXIMIZED);
}

void SettingsDialog::Command(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case IDOK:
      SaveAndClose();
      break;
    case IDCANCEL:
      EndDialog(dialog_, 2);
      break;
    case IDC_DISPLAY_MODES:
      if (HIWORD(wParam) == LBN_SELCHANGE) {
        HWND list = GetDlgItem(dialog_, IDC_DISPLAY_MODES);
        const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
        const auto* mode = reinterpret_cast<const DISPMODE*>(SendMessageA(list, LB_GETITEMDATA, index, 0));
        const bool chosen = index != LB_ERR && mode != nullptr && mode != reinterpret_cast<DISPMODE*>(LB_ERR);
        settings_.DispModeWidth = chosen ? mode->width : 0;
        settings_.DispModeHeight = chosen ? mode->height : 0;
        settings_.DispModeBits = chosen ? mode->bits : 0;
      }
      break;
    case IDC_SUPPORT:
      OpenPage(kSupportPagePath);
      break;
    case IDC_WEB_LINK:
      OpenPage(kHomePagePath);
      break;
    case IDC_SPECIALS:
      OpenPage(SpecialsPagePath());
      break;
    case IDC_HELP_BUTTON:
      OpenHelp();
      break;
    case IDC_WALLPAPER:
      if (toggles_.IsChecked(IDC_WALLPAPER)) {
        const int answer = MessageBoxA(dialog_, "Would you like to stretch the image to fit your desktop?",
                                       "Stretch Wallpaper?", MB_YESNO);
        settings_.StretchWallpaper = answer == IDYES ? 1 : 0;
      }
      break;
    case IDC_ABOUT:
      RunAboutDialog(dialog_, skin_.Context(), context_.webServer);
      break;
    case IDC_CUSTOM_MUSIC:
      // The music dialog forwards the keys to itself meanwhile.
      if (context_.songPickers == nullptr) break;
      keys_.Remove();
      RunMusicDialog(dialog_, context_.playlistFile, *context_.songPickers);
      keys_.Install(dialog_);
      break;
    case IDC_CAPTION_OPTIONS:
      RunCaptionsDialog(dialog_, settings_, context_.clearType);
      break;
    case IDC_CHECK_UPDATES:
      RunUpdateDialog(dialog_, context_.webServer);
      break;
    default:
      break;
  }
}

void SettingsDialog::KeyDown(WPARAM key) {
  if (key == VK_F1) OpenHelp();
}

void SettingsDialog::ButtonDown() {
  if (skinned_) SendMessageA(dialog_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

LRESULT SettingsDialog::FastModeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONUP && toggles_.IsChecked(IDC_FAST_MODE)) {
    MessageBoxA(dialog_,
                "NOTE: This mode is only recommended for slower computers\n"
                "or if you are having problems running in normal mode.",
                "NOTE", MB_ICONINFORMATION);
  }
  return CallPrevious(fastModePrevious_, window, message, wParam, lParam);
}

void SettingsDialog::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // Before their windows and pictures go.
  toggles_.Clear();
  attached_.DetachAll();
  if (controlsReady_) {
    for (HWND window : {volumeWindow_, modeWindow_})
      if (window != nullptr) DestroyWindow(window);
    for (HWND tooltip : tooltips_) DestroyWindow(tooltip);
    tooltips_.clear();
    images_.clear();
  }
  skin_.Release();
  keys_.Remove();
  if (font_ != nullptr) DeleteObject(font_);
  font_ = nullptr;
  delete layer_;
  layer_ = nullptr;
}

}  // namespace

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      delete theDialog;
      theDialog = new SettingsDialog(dialog, *reinterpret_cast<const SettingsDialogContext*>(lParam));
      theDialog->Initialize(wParam);
      return TRUE;
    }
    case WM_PAINT:
      if (theDialog != nullptr) theDialog->Paint();
      return 0;
    case WM_DRAWITEM:
      if (theDialog != nullptr) theDialog->DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (theDialog != nullptr) theDialog->Command(wParam);
      return 0;
    case WM_KEYDOWN:
      if (theDialog != nullptr) theDialog->KeyDown(wParam);
      return 0;
    case WM_LBUTTONDOWN:
      if (theDialog != nullptr) theDialog->ButtonDown();
      return 0;
    case WM_DESTROY:
      delete theDialog;
      theDialog = nullptr;
      return 0;
    default:
      return 0;
  }
}

INT_PTR RunSettingsDialog(HINSTANCE instance, HWND owner, const SettingsDialogContext& context) {
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsDialogProc,
                         reinterpret_cast<LPARAM>(&context));
}
