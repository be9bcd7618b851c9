#include "ui/music_dialog_win32.h"

#include <cderr.h>
#include <commdlg.h>

#include <vector>

#include "foundation/wide_text_win32.h"
#include "ui/key_forwarder_win32.h"
#include "ui/object_dialog_win32.h"
#include "ui/resource_ids.h"
#include "ui/song_list_edits.h"
#include "ui/song_pickers_win32.h"
#include "ui/song_selection.h"
#include "ui/tooltip_win32.h"

namespace {

struct MusicRequest {
  std::string playlistFile;
  SongPickers* pickers;
};

// The list box as the editing rules see it; each entry's item data is an
// owned copy of the song's full path.
class SongListBox : public SongList {
 public:
  explicit SongListBox(HWND list) : list_(list) {}

  int Count() const override { return static_cast<int>(SendMessageA(list_, LB_GETCOUNT, 0, 0)); }

  void Reinsert(int from, int to) override {
    const std::string* path = PathAt(from);
    if (path == nullptr) return;
    SendMessageA(list_, LB_DELETESTRING, from, 0);
    Insert(to, path);
  }

  void Remove(int index) override {
    delete PathAt(index);
    SendMessageA(list_, LB_DELETESTRING, index, 0);
  }

  void Add(const std::string& path) { Insert(-1, new std::string(path)); }

  void Clear() {
    for (int i = Count() - 1; i >= 0; --i) delete PathAt(i);
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
  }

  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (int i = 0; i < Count(); ++i)
      if (const std::string* path = PathAt(i)) paths.push_back(*path);
    return paths;
  }

  std::vector<int> Selected() const {
    const LRESULT count = SendMessageA(list_, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return {};
    std::vector<int> indices(count);
    const LRESULT got = SendMessageA(list_, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(indices.data()));
    indices.resize(got > 0 ? got : 0);
    return indices;
  }

 private:
  // At `index` (-1: the end), shown by its file name in wide text, since
  // paths are UTF-8 and a name may be in any script. Owns `path` after.
  void Insert(int index, const std::string* path) {
    const std::wstring shown = WidePath(SongDisplayName(*path).c_str());
    const LRESULT at = SendMessageW(list_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(shown.c_str()));
    if (at < 0) {
      delete path;
      return;
    }
    SendMessageA(list_, LB_SETITEMDATA, at, reinterpret_cast<LPARAM>(path));
  }

  std::string* PathAt(int index) const {
    const LRESULT data = SendMessageA(list_, LB_GETITEMDATA, index, 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<std::string*>(data);
  }

  HWND list_;
};

class MusicDialog {
 public:
  MusicDialog(HWND dialog, const MusicRequest& request)
      : dialog_(dialog), request_(request), songs_(GetDlgItem(dialog, IDC_SONG_LIST)) {}
  ~MusicDialog();
  void Initialize();
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Command(WPARAM wParam);
  void KeyDown(WPARAM key);
  void UpdateCount();
  void AddFiles();
  void Cancel();

  HWND dialog_;
  MusicRequest request_;
  SongListBox songs_;
  std::vector<HWND> tooltips_;
  KeyForwarder keys_;
};

void MusicDialog::Initialize() {
  for (const std::string& entry : LoadCustomPlaylist(request_.playlistFile)) songs_.Add(entry);
  UpdateCount();
  const struct {
    int id;
    const char* text;
  } tips[] = {
      {IDC_ADD_SONGS, "Click to add songs to your playlist"},
      {IDC_CLEAR_SONGS, "Click to remove all songs from your playlist"},
      {IDC_REMOVE_SONGS, "Click to remove the selected songs from the playlist"},
      {IDC_SONG_UP, "Click to move the selected files up in the play order"},
      {IDC_SONG_DOWN, "Click to move the selected files down in the play order"},
  };
  for (const auto& tip : tips)
    if (HWND tooltip = AddTooltip(GetDlgItem(dialog_, tip.id), tip.text, 250)) tooltips_.push_back(tooltip);
  keys_.Install(dialog_);
}

void MusicDialog::UpdateCount() {
  SetDlgItemTextA(dialog_, IDC_SONG_COUNT, SongCountLabel(songs_.Count()).c_str());
}

void MusicDialog::AddFiles() {
  // The file dialog runs on this thread: Delete typed in it must not reach
  // the song list.
  keys_.Remove();
  std::string answer;
  size_t fileOffset = 0;
  const bool chosen = PickSongs(*request_.pickers, dialog_, answer, fileOffset);
  keys_.Install(dialog_);
  if (!chosen) {
    const DWORD error = CommDlgExtendedError();
    if (error != 0) {
      MessageBoxA(dialog_, "Error with dialog selection!", "Error", MB_OK);
      if (error == FNERR_BUFFERTOOSMALL) MessageBoxA(dialog_, "Buffer too small", nullptr, MB_OK);
    }
    return;
  }
  const FileSelection selection = ParseFileSelection(answer.data(), answer.size(), fileOffset);
  for (const std::string& song : SongsToAdd(selection)) songs_.Add(song);
  ForgetLastChoice(*request_.pickers);
  UpdateCount();
}

void MusicDialog::Cancel() {
  if (MessageBoxA(dialog_, "Are you sure you want to lose your changes?", "Are you sure?", MB_YESNO) != IDNO)
    EndDialog(dialog_, 2);
}

void MusicDialog::Command(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case IDOK:
      // A list that cannot be saved stays in the dialog: closing would lose it.
      if (!SaveCustomPlaylist(songs_.Paths(), request_.playlistFile)) {
        MessageBoxA(dialog_, MusicListNotSavedText(request_.playlistFile).c_str(), "Music list not saved",
                    MB_OK | MB_ICONERROR);
        break;
      }
      EndDialog(dialog_, 1);
      break;
    case IDCANCEL:
      Cancel();
      break;
    case IDC_ADD_SONGS:
      AddFiles();
      break;
    case IDC_REMOVE_SONGS:
      RemoveSelected(songs_, songs_.Selected());
      UpdateCount();
      break;
    case IDC_CLEAR_SONGS:
      songs_.Clear();
      UpdateCount();
      break;
    case IDC_SONG_UP:
      MoveSelectionUp(songs_, songs_.Selected());
      break;
    case IDC_SONG_DOWN:
      MoveSelectionDown(songs_, songs_.Selected());
      break;
    default:
      break;
  }
}

void MusicDialog::KeyDown(WPARAM key) {
  if (key == VK_DELETE) Command(IDC_REMOVE_SONGS);
}

INT_PTR MusicDialog::Handle(UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND) {
    Command(wParam);
  } else if (message == WM_KEYDOWN) {
    KeyDown(wParam);
  } else {
    return FALSE;
  }
  return TRUE;
}

MusicDialog::~MusicDialog() {
  songs_.Clear();
  for (HWND tooltip : tooltips_) DestroyWindow(tooltip);
  tooltips_.clear();
  keys_.Remove();
}

}  // namespace

INT_PTR RunMusicDialog(HWND owner, const std::string& playlistFile, SongPickers& pickers) {
  MusicRequest request{playlistFile, &pickers};
  return RunObjectDialog<MusicDialog>(GetModuleHandleA(nullptr), IDD_MUSIC, owner, request);
}
