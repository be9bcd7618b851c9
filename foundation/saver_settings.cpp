#include "foundation/saver_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <locale>
#include <sstream>
#include <variant>

#include "foundation/registry_helpers.h"
#include "foundation/text_number.h"
#include "foundation/text_search.h"

const char kProductKey[] = "Software\\PelkSoft\\PelkSaver\\Zelvora";
const char kSystemSaverKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

SaverSettings* ss = nullptr;

namespace {

using S = SaverSettings;
using FieldRef = std::variant<int S::*, bool S::*, float S::*, std::string S::*>;

// How a setting is kept in the registry.
enum Encoding {
  Dword,         // REG_DWORD of an int field
  Flag,          // REG_DWORD of a bool field: any non-zero value reads true, saved as 0 or 1
  DecimalInt,    // REG_SZ, "%d" on saving
  DecimalFloat,  // REG_SZ, "%f" on saving
  Text,          // REG_SZ, saved with its terminating NUL
};

struct SettingValue {
  const char* name;
  Encoding encoding;
  FieldRef field;
};

// Every stored setting, in the order Load reads them. Load spells the speed-tip
// value "ShowSpeedtip" and Save "ShowSpeedTip"; value names ignore case, so
// both reach the same value.
const SettingValue kSettings[] = {
    {"MipMap", Dword, &S::MipMap},
    {"PlayMusic", Dword, &S::PlayMusic},
    {"ShuffleMusic", Dword, &S::ShuffleMusic},
    {"DebugLog", Dword, &S::DebugLog},
    {"BitmapText", Dword, &S::BitmapText},
    {"SetAsWallpaper", Dword, &S::SetAsWallpaper},
    {"RandomOrder", Dword, &S::RandomOrder},
    {"Animate", Dword, &S::Animate},
    {"Crossfade", Dword, &S::Crossfade},
    {"DefaultMusic", Dword, &S::DefaultMusic},
    {"CustomMusic", Dword, &S::CustomMusic},
    {"FastMode", Dword, &S::FastMode},
    {"StretchWallpaper", Dword, &S::StretchWallpaper},
    {"ShowSpeedtip", Dword, &S::ShowSpeedTip},
    {"ShowBugReport", Dword, &S::ShowBugReport},
    {"CrashFlag", Dword, &S::CrashFlag},
    {"DoChecksum", Dword, &S::DoChecksum},
    {"CriticalError", Dword, &S::CriticalError},
    {"BlankAllScreens", Dword, &S::BlankAllScreens},
    {"CramImages", Dword, &S::CramImages},
    {"CramSize", Dword, &S::CramSize},
    {"AutoPerformance", Dword, &S::AutoPerformance},
    {"ShowCaptions", Dword, &S::ShowCaptions},
    {"CaptionFontSize", Dword, &S::CaptionFontSize},
    {"CaptionOrientation", Dword, &S::CaptionOrientation},
    {"CaptionItalic", Flag, &S::CaptionItalic},
    {"CaptionBold", Flag, &S::CaptionBold},
    {"MusicVol", DecimalInt, &S::MusicVol},
    {"AvgFps", DecimalFloat, &S::AvgFps},
    {"ImageDelay", DecimalFloat, &S::ImageDelay},
    {"DispModeWidth", DecimalInt, &S::DispModeWidth},
    {"DispModeHeight", DecimalInt, &S::DispModeHeight},
    {"DispModeBits", DecimalInt, &S::DispModeBits},
    {"CaptionFont", Text, &S::CaptionFont},
};

// The order Save writes in. The crash values, AvgFps and VideoGUID are written
// at other moments by their own writers, so Save leaves them alone.
const char* const kSaveOrder[] = {
    "MipMap", "PlayMusic", "ShuffleMusic", "DebugLog", "BitmapText", "ShowSpeedTip",
    "ShowBugReport", "SetAsWallpaper", "RandomOrder", "Animate", "Crossfade", "DefaultMusic",
    "CustomMusic", "FastMode", "StretchWallpaper", "BlankAllScreens", "CramImages", "CramSize",
    "AutoPerformance", "ShowCaptions", "CaptionFontSize", "CaptionOrientation", "CaptionItalic",
    "CaptionBold", "MusicVol", "DispModeWidth", "DispModeHeight", "DispModeBits", "ImageDelay",
    "CaptionFont",
};

// Bounds for the numbers that drive arithmetic, applied as they are read (the
// stored value stays as it is): a delay of 1e30 s would overflow the
// millisecond clock, a cram size of 3 blurs every photograph into 3 x 3
// pixels, and a caption font a million pixels high takes seconds to draw.
struct SettingRange {
  const char* name;
  double lowest;
  double highest;
};
const SettingRange kRanges[] = {
    {"ImageDelay", 1, 3600},           {"CramSize", 256, 16384},      {"CaptionFontSize", -128, 128},
    {"CaptionOrientation", 0, 2},      {"MusicVol", 0, 255},          {"AvgFps", 0, 1000},
    {"DispModeWidth", 0, 16384},       {"DispModeHeight", 0, 16384},  {"DispModeBits", 0, 32},
};

// The value within the setting's bounds; false for a number that has none
// (not a number), which leaves the setting as it was.
bool WithinRange(const char* name, double& value) {
  if (std::isnan(value)) return false;
  for (const SettingRange& range : kRanges)
    if (EqualNoCase(range.name, name)) value = std::clamp(value, range.lowest, range.highest);
  return true;
}

// Numbers stored as text are written into buffers of this size, zero-padded.
constexpr uint32_t kNumberTextBytes = 64;

const SettingValue* FindSetting(const char* name) {
  for (const SettingValue& setting : kSettings)
    if (EqualNoCase(setting.name, name)) return &setting;
  return nullptr;
}

void LoadSetting(KeyValueKey& key, const SettingValue& setting, S& record) {
  uint32_t number = 0;
  std::string text;
  const bool isDword = setting.encoding == Dword || setting.encoding == Flag;
  if (isDword ? !ReadDword(key, setting.name, number) : !ReadString(key, setting.name, text))
    return;
  double value = 0;
  switch (setting.encoding) {
    case Flag: record.*std::get<bool S::*>(setting.field) = number != 0; return;
    case Text: record.*std::get<std::string S::*>(setting.field) = text; return;
    case Dword: value = static_cast<int32_t>(number); break;
    case DecimalInt: value = TextToInt(text); break;
    case DecimalFloat: value = TextToFloat(text); break;
  }
  if (!WithinRange(setting.name, value)) return;
  if (setting.encoding == DecimalFloat)
    record.*std::get<float S::*>(setting.field) = static_cast<float>(value);
  else
    record.*std::get<int S::*>(setting.field) = static_cast<int>(value);
}

template <class T>
void WriteNumberText(KeyValueKey& key, const char* name, const char* format, T value) {
  char text[kNumberTextBytes] = {};
  std::snprintf(text, sizeof text, format, value);
  key.Set(name, ValueType_String, text, kNumberTextBytes);
}

void SaveSetting(KeyValueKey& key, const char* name, const SettingValue& setting,
                 const S& record) {
  switch (setting.encoding) {
    case Dword:
      WriteDword(key, name, static_cast<uint32_t>(record.*std::get<int S::*>(setting.field)));
      break;
    case Flag:
      WriteDword(key, name, record.*std::get<bool S::*>(setting.field) ? 1 : 0);
      break;
    case DecimalInt:
      WriteNumberText(key, name, "%d", record.*std::get<int S::*>(setting.field));
      break;
    case DecimalFloat:
      WriteNumberText(key, name, "%f",
                      static_cast<double>(record.*std::get<float S::*>(setting.field)));
      break;
    case Text: {
      const std::string& text = record.*std::get<std::string S::*>(setting.field);
      key.Set(name, ValueType_String, text.c_str(), static_cast<uint32_t>(text.size() + 1));
      break;
    }
  }
}

}  // namespace

SaverSettings::SaverSettings(KeyValueStore& store) : store_(store) {}

void SaverSettings::ReadSystemValues() {
  PasswordDelay = 15;
  MouseThreshold = 50;
  auto key = store_.OpenForRead(Hive_LocalMachine, kSystemSaverKey);
  if (!key) return;
  uint32_t value = 0;
  if (ReadDword(*key, "Password Delay", value)) PasswordDelay = static_cast<int>(value);
  if (ReadDword(*key, "Mouse Threshold", value)) MouseThreshold = static_cast<int>(value);
  if (ReadDword(*key, "Mute Sound", value) && value != 0) PlayMusic = 0;
}

void SaverSettings::Load() {
  {
    auto key = store_.OpenForRead(Hive_CurrentUser, kProductKey);
    if (!key) return;
    for (const SettingValue& setting : kSettings) LoadSetting(*key, setting, *this);
  }
  auto machine = store_.OpenForRead(Hive_LocalMachine, kProductKey);
  if (!machine) return;
  uint8_t guid[sizeof VideoGUID] = {};
  uint32_t type = 0;
  uint32_t size = sizeof guid;
  if (machine->Query("VideoGUID", type, guid, size) == Query_Ok)
    std::memcpy(VideoGUID, guid, sizeof guid);
}

void SaverSettings::Save() {
  auto key = store_.OpenForWrite(Hive_CurrentUser, kProductKey);
  if (!key) return;
  for (const char* name : kSaveOrder)
    if (const SettingValue* setting = FindSetting(name)) SaveSetting(*key, name, *setting, *this);
}

void SaverSettings::WriteProductDword(const char* name, int value, int* field) {
  auto key = store_.OpenForWrite(Hive_CurrentUser, kProductKey);
  if (!key) return;
  WriteDword(*key, name, static_cast<uint32_t>(value));
  if (field != nullptr) *field = value;
}

void SaverSettings::WriteCrashFlag(int value) { WriteProductDword("CrashFlag", value, nullptr); }

void SaverSettings::WriteDoChecksum(int value) { WriteProductDword("DoChecksum", value, nullptr); }

void SaverSettings::WriteCriticalError(int value) {
  WriteProductDword("CriticalError", value, &CriticalError);
}

void SaverSettings::WriteAvgFps(float fps) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << fps;
  SetStringValue(store_, Hive_CurrentUser, kProductKey, "AvgFps", text.str());
}

bool SaverSettings::WriteVideoGUID(const uint8_t (&guid)[16]) {
  return SetBinaryValue(store_, kProductKey, "VideoGUID", guid, sizeof guid);
}
