// The settings record: every registry setting of the saver with its default,
// the system's screen-saver values, and the run-time fields of the saver
// window. One instance, `ss`, lives for the run; every other module reads its
// settings from it. Fields carry their registry value names.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/key_value_store.h"

// The product key, per user (settings, crash values, AvgFps) and per machine
// (VideoGUID).
extern const char kProductKey[];
// The system's screen-saver key under the machine hive, read only.
extern const char kSystemSaverKey[];

struct CursorPoint {
  int x = 0;
  int y = 0;
};

class SaverSettings {
 public:
  // Fills every field with its default; reads nothing yet.
  explicit SaverSettings(KeyValueStore& store);

  // "Password Delay", "Mouse Threshold" and "Mute Sound" of the system key;
  // a set mute flag turns PlayMusic off (until Load reads a stored one).
  void ReadSystemValues();
  // Reads the product key into the record; absent values keep their field.
  void Load();
  // Writes the settings the dialog edits; the crash values, AvgFps and
  // VideoGUID have writers of their own.
  void Save();

  // Each writes one REG_DWORD value into the product key, silently doing
  // nothing when the key cannot be opened. Only WriteCriticalError also
  // updates the record, and only when the key could be opened.
  void WriteCrashFlag(int value);
  void WriteDoChecksum(int value);
  void WriteCriticalError(int value);
  // The measured frame rate as text with up to six significant digits.
  void WriteAvgFps(float fps);
  // The video card's identifier under the machine hive (fails silently
  // without administrator rights).
  bool WriteVideoGUID(const uint8_t (&guid)[16]);

  KeyValueStore& Store() { return store_; }

  // Settings (product key).
  int MipMap = 1;
  int PlayMusic = 1;
  int ShuffleMusic = 1;
  int DebugLog = 1;
  int BitmapText = 0;
  int SetAsWallpaper = 0;
  int RandomOrder = 1;
  int Animate = 1;
  int Crossfade = 1;
  int DefaultMusic = 1;
  int CustomMusic = 0;
  int FastMode = 0;
  int StretchWallpaper = 0;
  int ShowSpeedTip = 1;
  int ShowBugReport = 1;
  int CrashFlag = 0;
  int DoChecksum = 0;
  int CriticalError = 0;
  int BlankAllScreens = 1;
  int CramImages = 1;
  int CramSize = 1024;
  int AutoPerformance = 0;
  int ShowCaptions = 0;
  int CaptionFontSize = -22;
  int CaptionOrientation = 0;
  bool CaptionItalic = true;
  bool CaptionBold = true;
  int MusicVol = 255;
  float AvgFps = 100.0f;
  float ImageDelay = 10.0f;
  int DispModeWidth = 800;
  int DispModeHeight = 600;
  int DispModeBits = 16;
  std::string CaptionFont = "Arial";
  uint8_t VideoGUID[16] = {};

  // System screen-saver values.
  int PasswordDelay = 15;   // seconds
  int MouseThreshold = 50;  // pixels

  // Run-time fields of the saver window.
  void* mainWindow = nullptr;
  CursorPoint cursorAnchor;
  uint32_t InitTime = 0;  // tick count at the window's creation, ms
  bool inPasswordCheck = false;
  bool closeRequested = false;
  bool mouseArmed = false;

 private:
  void WriteProductDword(const char* name, int value, int* field);

  KeyValueStore& store_;
};

extern SaverSettings* ss;
