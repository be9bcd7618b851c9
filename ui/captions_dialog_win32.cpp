#include "ui/captions_dialog_win32.h"

#include <cstring>

#include "foundation/saver_settings.h"
#include "ui/caption_choices.h"
#include "ui/object_dialog_win32.h"
#include "ui/resource_ids.h"

namespace {

struct CaptionsRequest {
  SaverSettings* settings;
  bool clearType;
};

// The controls that follow "Show Captions".
const int kCaptionControls[] = {IDC_CAPTION_SIZE,   IDC_CAPTION_ORIENTATION, IDC_CAPTION_SAMPLE,
                                IDC_CAPTION_ITALIC, IDC_CAPTION_BOLD,        IDC_CAPTION_FACE};

class CaptionsDialog {
 public:
  CaptionsDialog(HWND dialog, const CaptionsRequest& request) : dialog_(dialog), request_(request) {}
  ~CaptionsDialog() {
    if (sampleFont_ != nullptr) DeleteObject(sampleFont_);
  }
  void Initialize();
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND) return FALSE;
    Command(wParam);
    return TRUE;
  }
  void AddFace(const char* face);

 private:
  void Command(WPARAM wParam);
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  bool Checked(int id) const { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
  void EnableCaptionControls(bool enable);
  void FillList(int id, const std::vector<CaptionChoice>& choices);
  // The item data of the list's selected entry; `fallback` without one.
  int SelectedValue(int id, int fallback) const;
  void RecreateSampleFont();
  void AlignSample(int orientation);
  void Store();

  HWND dialog_;
  CaptionsRequest request_;
  LOGFONTA description_ = {};
  HFONT sampleFont_ = nullptr;
  FaceNameFilter faces_;
};

int CALLBACK EnumerateFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM dialog) {
  reinterpret_cast<CaptionsDialog*>(dialog)->AddFace(font->lfFaceName);
  return 1;
}

void CaptionsDialog::AddFace(const char* face) {
  if (faces_.Admit(face)) SendMessageA(Item(IDC_CAPTION_FACE), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face));
}

void CaptionsDialog::FillList(int id, const std::vector<CaptionChoice>& choices) {
  for (const CaptionChoice& choice : choices) {
    const LRESULT at = SendMessageA(Item(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.text.c_str()));
    if (at >= 0) SendMessageA(Item(id), CB_SETITEMDATA, at, choice.value);
  }
}

int CaptionsDialog::SelectedValue(int id, int fallback) const {
  const LRESULT at = SendMessageA(Item(id), CB_GETCURSEL, 0, 0);
  if (at == CB_ERR) return fallback;
  return static_cast<int>(SendMessageA(Item(id), CB_GETITEMDATA, at, 0));
}

void CaptionsDialog::EnableCaptionControls(bool enable) {
  for (int id : kCaptionControls) EnableWindow(Item(id), enable);
}

void CaptionsDialog::RecreateSampleFont() {
  if (sampleFont_ != nullptr) DeleteObject(sampleFont_);
  sampleFont_ = CreateFontIndirectA(&description_);
  SendMessageA(Item(IDC_CAPTION_SAMPLE), WM_SETFONT, reinterpret_cast<WPARAM>(sampleFont_), 0);
  InvalidateRect(Item(IDC_CAPTION_SAMPLE), nullptr, TRUE);
}

void CaptionsDialog::AlignSample(int orientation) {
  HWND sample = Item(IDC_CAPTION_SAMPLE);
  const LONG_PTR style = GetWindowLongPtrA(sample, GWL_STYLE);
  SetWindowLongPtrA(sample, GWL_STYLE, (style & ~LONG_PTR(3)) | AlignmentForOrientation(orientation));
  InvalidateRect(sample, nullptr, TRUE);
}

void CaptionsDialog::Initialize() {
  const SaverSettings& settings = *request_.settings;
  CheckDlgButton(dialog_, IDC_SHOW_CAPTIONS, settings.ShowCaptions ? BST_CHECKED : BST_UNCHECKED);
  FillList(IDC_CAPTION_SIZE, CaptionSizeChoices());
  const int sizes = static_cast<int>(SendMessageA(Item(IDC_CAPTION_SIZE), CB_GETCOUNT, 0, 0));
  for (int i = 0; i < sizes; ++i)
    if (SendMessageA(Item(IDC_CAPTION_SIZE), CB_GETITEMDATA, i, 0) == settings.CaptionFontSize)
      SendMessageA(Item(IDC_CAPTION_SIZE), CB_SETCURSEL, i, 0);
  CheckDlgButton(dialog_, IDC_CAPTION_ITALIC, settings.CaptionItalic ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog_, IDC_CAPTION_BOLD, settings.CaptionBold ? BST_CHECKED : BST_UNCHECKED);
  FillList(IDC_CAPTION_ORIENTATION, CaptionOrientationChoices());

  description_ = LOGFONTA{};
  description_.lfHeight = settings.CaptionFontSize;
  description_.lfWeight = settings.CaptionBold ? 700 : 400;
  description_.lfItalic = settings.CaptionItalic ? 1 : 0;
  description_.lfCharSet = DEFAULT_CHARSET;
  description_.lfQuality = request_.clearType ? CLEARTYPE_QUALITY : ANTIALIASED_QUALITY;
  HDC dc = GetDC(dialog_);
  EnumFontFamiliesExA(dc, &description_, EnumerateFace, reinterpret_cast<LPARAM>(this), 0);
  ReleaseDC(dialog_, dc);

  SendMessageA(Item(IDC_CAPTION_FACE), CB_SELECTSTRING, static_cast<WPARAM>(-1),
               reinterpret_cast<LPARAM>(settings.CaptionFont.c_str()));
  strncpy(description_.lfFaceName, settings.CaptionFont.c_str(), LF_FACESIZE - 1);
  RecreateSampleFont();

  const CaptionAlignment alignment = AlignmentForOrientation(settings.CaptionOrientation);
  const char* side = alignment == kAlignLeft ? "Left" : alignment == kAlignRight ? "Right" : "Center";
  SendMessageA(Item(IDC_CAPTION_ORIENTATION), CB_SELECTSTRING, static_cast<WPARAM>(-1),
               reinterpret_cast<LPARAM>(side));
  AlignSample(settings.CaptionOrientation);
  EnableCaptionControls(settings.ShowCaptions != 0);
}

void CaptionsDialog::Store() {
  SaverSettings& settings = *request_.settings;
  settings.ShowCaptions = Checked(IDC_SHOW_CAPTIONS) ? 1 : 0;
  settings.CaptionItalic = Checked(IDC_CAPTION_ITALIC);
  settings.CaptionBold = Checked(IDC_CAPTION_BOLD);
  // A list left without a selection keeps the setting it had.
  settings.CaptionFontSize = SelectedValue(IDC_CAPTION_SIZE, settings.CaptionFontSize);
  settings.CaptionOrientation = SelectedValue(IDC_CAPTION_ORIENTATION, settings.CaptionOrientation);
  HWND faces = Item(IDC_CAPTION_FACE);
  const LRESULT at = SendMessageA(faces, CB_GETCURSEL, 0, 0);
  if (at != CB_ERR) {
    char face[LF_FACESIZE + 1] = {};
    if (SendMessageA(faces, CB_GETLBTEXTLEN, at, 0) <= LF_FACESIZE) {
      SendMessageA(faces, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(face));
      settings.CaptionFont = face;
    }
  }
}

void CaptionsDialog::Command(WPARAM wParam) {
  const int id = LOWORD(wParam);
  const int notice = HIWORD(wParam);
  switch (id) {
    case IDOK:
      Store();
      EndDialog(dialog_, 1);
      break;
    case IDCANCEL:
      EndDialog(dialog_, 2);
      break;
    case IDC_SHOW_CAPTIONS:
      if (notice == BN_CLICKED) EnableCaptionControls(Checked(IDC_SHOW_CAPTIONS));
      break;
    case IDC_CAPTION_SIZE:
      description_.lfHeight = SelectedValue(IDC_CAPTION_SIZE, description_.lfHeight);
      RecreateSampleFont();
      break;
    case IDC_CAPTION_FACE: {
      HWND faces = Item(IDC_CAPTION_FACE);
      const LRESULT at = SendMessageA(faces, CB_GETCURSEL, 0, 0);
      if (at != CB_ERR && SendMessageA(faces, CB_GETLBTEXTLEN, at, 0) < LF_FACESIZE)
        SendMessageA(faces, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(description_.lfFaceName));
      RecreateSampleFont();
      break;
    }
    case IDC_CAPTION_ORIENTATION:
      if (notice == CBN_SELCHANGE) AlignSample(SelectedValue(IDC_CAPTION_ORIENTATION, 1));
      break;
    case IDC_CAPTION_ITALIC:
      if (notice == BN_CLICKED) {
        description_.lfItalic = Checked(IDC_CAPTION_ITALIC) ? 1 : 0;
        RecreateSampleFont();
      }
      break;
    case IDC_CAPTION_BOLD:
      if (notice == BN_CLICKED) {
        description_.lfWeight = Checked(IDC_CAPTION_BOLD) ? 700 : 400;
        RecreateSampleFont();
      }
      break;
    default:
      break;
  }
}

}  // namespace

INT_PTR RunCaptionsDialog(HWND owner, SaverSettings& settings, bool clearType) {
  CaptionsRequest request{&settings, clearType};
  return RunObjectDialog<CaptionsDialog>(GetModuleHandleA(nullptr), IDD_CAPTIONS, owner, request);
}
