#include "audio/audio_stream_win32.h"

#include <dshow.h>
#include <objbase.h>

#include <algorithm>
#include <string>

#include "foundation/wide_text_win32.h"

namespace {

// The classes and interfaces the graph needs, here so that nothing depends
// on which of them a particular SDK's headers and libraries declare.
const GUID kClsidFilterGraph = {
    0xE436EBB3, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID kClsidWMAsfReader = {
    0x187463A0, 0x5BB7, 0x11D3, {0xAC, 0xBE, 0x00, 0x80, 0xC7, 0x5E, 0x24, 0x6E}};
const GUID kIidGraphBuilder = {
    0x56A868A9, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID kIidBaseFilter = {
    0x56A86895, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID kIidFileSourceFilter = {
    0x56A868A6, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID kIidMediaControl = {
    0x56A868B1, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID kIidMediaEventEx = {
    0x56A868C0, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const GUID kIidBasicAudio = {
    0x56A868B3, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

const DWORD kInProcess = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
const char kNotifyClass[] = "AudioStream Notify Window";
const int kVolumeRange = 2500;  // hundredths of a decibel below full

template <typename Interface>
void Release(Interface*& object) {
  if (object != nullptr) object->Release();
  object = nullptr;
}

// Queries `iid` into `object`, leaving it null on failure.
template <typename Interface>
bool Query(IUnknown* from, const GUID& iid, Interface*& object) {
  object = nullptr;
  if (SUCCEEDED(from->QueryInterface(iid, reinterpret_cast<void**>(&object)))) return true;
  object = nullptr;
  return false;
}

template <typename Interface>
bool Create(const GUID& clsid, const GUID& iid, Interface*& object) {
  object = nullptr;
  if (SUCCEEDED(CoCreateInstance(clsid, nullptr, kInProcess, iid,
                                 reinterpret_cast<void**>(&object))))
    return true;
  object = nullptr;
  return false;
}

}  // namespace

AudioStream::AudioStream() : comStarted_(SUCCEEDED(CoInitialize(nullptr))) {}

AudioStream::~AudioStream() {
  {
    cMonitorLock hold(lock_);
    TearDown();
  }
  if (comStarted_) CoUninitialize();
}

int AudioStream::VolumeForLevel(int level) {
  level = std::min(std::max(level, 0), 255);
  return -kVolumeRange + kVolumeRange * level / 255;
}

UINT AudioStream::NotifyMessage() {
  static const UINT message = RegisterWindowMessageA("AudioStream Notify");
  return message;
}

int AudioStream::Open(const char* path, MediaEndCallback callback, void* data) {
  cMonitorLock hold(lock_);
  // The same callback is not told that its previous stream went away.
  if (callback == endCallback_) endCallback_ = nullptr;
  TearDown();
  ++serial_;
  aborted_ = false;
  endCallback_ = callback;
  if (callback != nullptr) callbackData_ = data;
  fileName_[0] = L'\0';
  // Names come as UTF-8 from the playlists. A name too long for the buffer
  // fails here rather than being cut.
  const std::wstring name = WidePath(path);
  if (!name.empty() && name.size() < static_cast<size_t>(kFileNameLength)) {
    name.copy(fileName_, name.size());
    fileName_[name.size()] = L'\0';
    if (BuildGraph() && playing_) return serial_;
  }
  fileName_[0] = L'\0';
  TearDown();
  return 0;
}

bool AudioStream::Play(int serial, bool loop) {
  cMonitorLock hold(lock_);
  if (serial != serial_) return false;
  loop_ = loop;
  if (!playing_) {
    // Stopped, aborted or lost its device: the same file, a fresh graph.
    ReleaseGraph();
    if (fileName_[0] == L'\0' || !BuildGraph()) {
      ReleaseGraph();
      return false;
    }
  }
  if (control_ == nullptr || FAILED(control_->Run())) playing_ = false;
  return playing_;
}

void AudioStream::Pause(int serial) {
  cMonitorLock hold(lock_);
  if (serial == serial_ && playing_ && control_ != nullptr) control_->Pause();
}

void AudioStream::Stop(int serial) {
  cMonitorLock hold(lock_);
  if (serial != serial_ || !playing_) return;
  if (control_ != nullptr) control_->Stop();
  playing_ = false;
}

void AudioStream::SetVolume(int level) {
  cMonitorLock hold(lock_);
  volume_ = VolumeForLevel(level);
  if (audio_ != nullptr) audio_->put_Volume(volume_);
}

int AudioStream::Serial() const {
  cMonitorLock hold(lock_);
  return serial_;
}

bool AudioStream::IsPlaying() const {
  cMonitorLock hold(lock_);
  return playing_;
}

bool AudioStream::HasGraph() const {
  cMonitorLock hold(lock_);
  return graph_ != nullptr || control_ != nullptr;
}

int AudioStream::Volume() const {
  cMonitorLock hold(lock_);
  return volume_;
}

int AudioStream::SavedVolume() const {
  cMonitorLock hold(lock_);
  return savedVolume_;
}

HWND AudioStream::NotifyWindow() const {
  cMonitorLock hold(lock_);
  return notifyWindow_;
}

bool AudioStream::BuildGraph() {
  if (!CreateNotifyWindow()) return false;
  if (!Create(kClsidFilterGraph, kIidGraphBuilder, graph_)) return false;
  if (!Create(kClsidWMAsfReader, kIidBaseFilter, reader_)) return false;
  if (FAILED(graph_->AddFilter(reader_, nullptr))) return false;
  if (!Query(reader_, kIidFileSourceFilter, fileSource_)) return false;
  if (FAILED(fileSource_->Load(fileName_, nullptr))) return false;
  if (FAILED(reader_->FindPin(L"Raw Audio 0", &sourcePin_))) {
    sourcePin_ = nullptr;
    return false;
  }
  if (!Query(graph_, kIidMediaControl, control_)) return false;
  Query(graph_, kIidMediaEventEx, events_);  // optional
  if (FAILED(graph_->Render(sourcePin_))) return false;
  if (events_ != nullptr)
    events_->SetNotifyWindow(reinterpret_cast<OAHWND>(notifyWindow_),
                             static_cast<long>(NotifyMessage()), 0);
  playing_ = true;
  if (Query(graph_, kIidBasicAudio, audio_)) {  // optional
    long current = 0;
    if (savedVolume_ == kNoSavedVolume && SUCCEEDED(audio_->get_Volume(&current)))
      savedVolume_ = static_cast<int>(current);
    audio_->put_Volume(volume_);
  }
  return true;
}

void AudioStream::ReleaseGraph() {
  if (control_ != nullptr) control_->Stop();
  Release(sourcePin_);
  Release(reader_);
  Release(fileSource_);
  Release(graph_);
  Release(control_);
  if (events_ != nullptr) events_->SetNotifyWindow(0, 0, 0);
  Release(events_);
  // Nothing to put back before a renderer's volume was ever read.
  if (audio_ != nullptr && savedVolume_ != kNoSavedVolume) audio_->put_Volume(savedVolume_);
  Release(audio_);
  playing_ = false;
}

void AudioStream::TearDown() {
  DestroyNotifyWindow();
  ReleaseGraph();
  // Cleared first: the callback may open the next stream right away.
  const MediaEndCallback callback = endCallback_;
  endCallback_ = nullptr;
  if (callback != nullptr) callback(-1, callbackData_);
}

bool AudioStream::CreateNotifyWindow() {
  if (notifyWindow_ != nullptr) return true;
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  static const bool registered = [instance] {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = NotifyWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kNotifyClass;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) return false;
  notifyWindow_ = CreateWindowExA(0, kNotifyClass, kNotifyClass, WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
  if (notifyWindow_ == nullptr) return false;
  SetWindowLongPtrA(notifyWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return true;
}

void AudioStream::DestroyNotifyWindow() {
  if (notifyWindow_ == nullptr) return;
  if (GetWindowThreadProcessId(notifyWindow_, nullptr) == GetCurrentThreadId()) {
    DestroyWindow(notifyWindow_);
  } else {
    // DestroyWindow fails across threads: the owner closes it, and until
    // then its messages no longer reach this object.
    SetWindowLongPtrA(notifyWindow_, GWLP_USERDATA, 0);
    PostMessageA(notifyWindow_, WM_CLOSE, 0, 0);
  }
  notifyWindow_ = nullptr;
}

void AudioStream::HandleGraphEvents() {
  cMonitorLock hold(lock_);
  long code = 0;
  LONG_PTR first = 0;
  LONG_PTR second = 0;
  // events_ is read again each time: a callback may have replaced the graph.
  while (events_ != nullptr && events_->GetEvent(&code, &first, &second, 0) == S_OK) {
    events_->FreeEventParams(code, first, second);
    if (code == EC_COMPLETE) {
      const int serial = serial_;
      if (loop_) {
        Stop(serial);
        Play(serial, true);
      }
      if (endCallback_ != nullptr) endCallback_(serial, callbackData_);
    } else if (code == EC_ERRORABORT || (code == EC_DEVICE_LOST && first == 0)) {
      // A track that fails midway ends like one that played out, so the
      // music moves on; the player learns from Aborted that it failed.
      const int serial = serial_;
      playing_ = false;
      aborted_ = true;
      if (endCallback_ != nullptr) endCallback_(serial, callbackData_);
    }
  }
}

bool AudioStream::Aborted(int serial) const {
  cMonitorLock hold(lock_);
  return serial == serial_ && aborted_;
}

LRESULT CALLBACK AudioStream::NotifyWindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  if (message == NotifyMessage()) {
    AudioStream* stream =
        reinterpret_cast<AudioStream*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (stream != nullptr) stream->HandleGraphEvents();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
