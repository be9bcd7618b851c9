// Where the settings dialog's controls sit on its 640 x 458 skin, what they
// show as tooltips and which setting each toggle stands for. Only data and
// the toggle <-> setting rule, so the tables are checked natively.
#pragma once

#include <string>

#include "foundation/rect.h"

class SaverSettings;

struct SkinRect {
  int x;
  int y;
  int width;
  int height;
};

struct PushButtonEntry {
  int id;
  SkinRect rect;
  const char* tooltip;  // null: made at run time (the about button's)
};

// The setting behind a toggle; checked means the value 1, except for
// HighestDetail, which is checked when CramImages is 0.
enum ToggleSetting {
  Toggle_SetAsWallpaper,
  Toggle_RandomOrder,
  Toggle_Animate,
  Toggle_Crossfade,
  Toggle_HighestDetail,
  Toggle_PlayMusic,
  Toggle_DefaultMusic,
  Toggle_CustomMusic,
  Toggle_ShuffleMusic,
  Toggle_FastMode,
};

struct ToggleEntry {
  int id;
  SkinRect rect;
  ToggleSetting setting;
  const char* tooltip;
};

extern const PushButtonEntry kSettingsButtons[];
extern const int kSettingsButtonCount;
extern const ToggleEntry kSettingsToggles[];
extern const int kSettingsToggleCount;

// The toggles' two check pictures, cut from the skin.
extern const SkinRect kToggleCheckedCut;
extern const SkinRect kToggleUncheckedCut;

// The sliders' windows on the skin and the list box beside the mode slider.
extern const SkinRect kVolumeSliderRect;
extern const SkinRect kDelaySliderRect;
extern const SkinRect kDelayFillCut;  // one row taller than the window
extern const SkinRect kModeSliderRect;
extern const SkinRect kModeListRect;
// Where the delay label is painted.
extern const Rect kDelayLabelRect;

extern const char kVolumeTooltip[];
extern const char kDelayTooltip[];
extern const char kModeTooltip[];

// "About Zelvora: Quorrin1.071": the version follows the name directly.
std::string AboutTooltip();

bool IsToggleChecked(const SaverSettings& settings, ToggleSetting setting);
void StoreToggle(SaverSettings& settings, ToggleSetting setting, bool checked);
