// AudioStream: the DirectShow player for Windows Media and MP3 files. Each
// stream is a filter graph with the Windows Media ASF reader as its
// source, rendered from the reader's "Raw Audio 0" pin. Graph events come
// as a registered message to a hidden window made by the thread that opened
// the stream; a completed stream calls the end callback with its serial.
//
// Every operation and the event handling hold one recursive lock, so the
// end callback, which runs under it, may open the next stream at once.
#pragma once

#include <windows.h>

#include "audio/music_engines.h"
#include "foundation/singleton.h"
#include "foundation/thread.h"

struct IGraphBuilder;
struct IBaseFilter;
struct IFileSourceFilter;
struct IPin;
struct IMediaControl;
struct IMediaEventEx;
struct IBasicAudio;

class AudioStream : public TSingleton<AudioStream>, public MediaStreamPlayer {
 public:
  // Characters of the file name, the terminator included.
  static constexpr int kFileNameLength = 260;
  // The saved volume before a renderer's volume has been read: valid
  // volumes are never positive.
  static constexpr int kNoSavedVolume = 1;

  // Starts COM on the constructing thread.
  AudioStream();
  // Tears the stream down and stops COM again.
  ~AudioStream() override;
  AudioStream(const AudioStream&) = delete;
  AudioStream& operator=(const AudioStream&) = delete;

  // Tears down the previous stream (calling a different registered
  // callback with -1) and builds a graph for `path`; the new serial, or 0.
  int Open(const char* path, MediaEndCallback callback, void* data) override;
  // For the current serial only: stores the loop flag, rebuilds the graph
  // when it was stopped or failed, runs it; whether it plays.
  bool Play(int serial, bool loop) override;
  void Pause(int serial) override;
  void Stop(int serial) override;
  // Level 0..255 onto -2500..0 hundredths of a decibel, applied at once.
  void SetVolume(int level) override;
  bool Aborted(int serial) const override;

  // -2500 + trunc(2500 * level / 255), the level clamped to 0..255.
  static int VolumeForLevel(int level);
  // "AudioStream Notify", registered on first use.
  static UINT NotifyMessage();

  int Serial() const;
  bool IsPlaying() const;
  bool HasGraph() const;
  int Volume() const;
  int SavedVolume() const;
  HWND NotifyWindow() const;

 private:
  // Steps of building a graph for fileName_; false at the first failure,
  // with what was built left for ReleaseGraph.
  bool BuildGraph();
  // Stops and releases the graph's interfaces, restoring the volume.
  void ReleaseGraph();
  // Window, graph, then a registered end callback called with -1.
  void TearDown();
  bool CreateNotifyWindow();
  void DestroyNotifyWindow();
  void HandleGraphEvents();
  static LRESULT CALLBACK NotifyWindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam);

  mutable cMonitor lock_;
  IGraphBuilder* graph_ = nullptr;
  IBaseFilter* reader_ = nullptr;
  IFileSourceFilter* fileSource_ = nullptr;
  IPin* sourcePin_ = nullptr;
  IMediaControl* control_ = nullptr;
  IMediaEventEx* events_ = nullptr;
  IBasicAudio* audio_ = nullptr;
  wchar_t fileName_[kFileNameLength] = {};
  HWND notifyWindow_ = nullptr;
  MediaEndCallback endCallback_ = nullptr;
  void* callbackData_ = nullptr;
  int serial_ = 0;
  bool playing_ = false;
  bool aborted_ = false;  // the graph of serial_ stopped on an error
  bool loop_ = false;
  int volume_ = 0;
  int savedVolume_ = kNoSavedVolume;
  bool comStarted_ = false;
};
