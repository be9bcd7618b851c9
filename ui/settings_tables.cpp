#include "ui/settings_tables.h"

#include "foundation/product.h"
#include "foundation/saver_settings.h"
#include "ui/resource_ids.h"

const PushButtonEntry kSettingsButtons[] = {
    {IDC_CUSTOM_MUSIC, {513, 124, 83, 44}, "Click here to select custom music"},
    {IDC_HELP_BUTTON, {171, 404, 60, 33}, "View help on configuring this screensaver"},
    {IDC_SUPPORT, {27, 352, 71, 37}, "Click to obtain support for this product"},
    {IDC_CAPTION_OPTIONS, {539, 218, 71, 37}, "Click to enable/disable and configure captions"},
    {IDC_ABOUT, {104, 387, 60, 33}, nullptr},
    {IDC_WEB_LINK, {17, 100, 150, 21}, "Click to visit Quorrin Software's website"},
    {IDC_SPECIALS, {17, 128, 150, 21}, "Click to see Quorrin Software's current special offers!"},
    {IDC_CHECK_UPDATES, {17, 156, 150, 21}, "Click to check for updates to this product"},
    {1, {476, 387, 62, 32}, "Click to save your settings and exit"},
    {2, {408, 404, 62, 32}, "Click to discard your changes and exit"},
};
const int kSettingsButtonCount = sizeof kSettingsButtons / sizeof kSettingsButtons[0];

const ToggleEntry kSettingsToggles[] = {
    {IDC_WALLPAPER, {359, 274, 160, 15}, Toggle_SetAsWallpaper,
     "Use the last displayed picture as your wallpaper"},
    {IDC_RANDOM_ORDER, {364, 294, 155, 15}, Toggle_RandomOrder, "Display images in a random order"},
    {IDC_ANIMATE, {426, 314, 93, 15}, Toggle_Animate, "Animate the images"},
    {IDC_CROSSFADE, {412, 334, 107, 15}, Toggle_Crossfade, "Crossfade transition between images"},
    {IDC_HIGH_DETAIL, {391, 354, 128, 15}, Toggle_HighestDetail,
     "Use highest detail images (only noticable at 1024x768 or above)"},
    {IDC_PLAY_MUSIC, {394, 94, 111, 15}, Toggle_PlayMusic, "Play music when the screensaver runs"},
    {IDC_DEFAULT_MUSIC, {419, 127, 85, 15}, Toggle_DefaultMusic, "Play built-in music"},
    {IDC_CUSTOM_MUSIC_TOGGLE, {418, 147, 86, 15}, Toggle_CustomMusic, "Play your own custom music list"},
    {IDC_SHUFFLE_MUSIC, {391, 185, 146, 15}, Toggle_ShuffleMusic, "Randomly shuffle the order of the music"},
    {IDC_FAST_MODE, {14, 295, 102, 34}, Toggle_FastMode,
     "Enables sure-fire mode that will work well on almost any computer."},
};
const int kSettingsToggleCount = sizeof kSettingsToggles / sizeof kSettingsToggles[0];

const SkinRect kToggleCheckedCut = {499, 334, 20, 15};
const SkinRect kToggleUncheckedCut = {499, 314, 20, 15};

const SkinRect kVolumeSliderRect = {601, 94, 18, 108};
const SkinRect kDelaySliderRect = {367, 245, 108, 17};
const SkinRect kDelayFillCut = {367, 245, 108, 18};
const SkinRect kModeSliderRect = {614, 275, 15, 94};
const SkinRect kModeListRect = {522, 275, 92, 94};
const Rect kDelayLabelRect = {477, 245, 519, 262};

const char kVolumeTooltip[] = "Adjusts music volume";
const char kDelayTooltip[] =
    "Adjusts how long images will display before changing (4 seconds - 30 seconds)";
const char kModeTooltip[] = "Display modes (smaller numbers are faster, higher numbers look better)";

std::string AboutTooltip() { return std::string("About ") + kProductName + kVersionNumber; }

namespace {

int* ToggleField(SaverSettings& settings, ToggleSetting setting) {
  switch (setting) {
    case Toggle_SetAsWallpaper: return &settings.SetAsWallpaper;
    case Toggle_RandomOrder: return &settings.RandomOrder;
    case Toggle_Animate: return &settings.Animate;
    case Toggle_Crossfade: return &settings.Crossfade;
    case Toggle_HighestDetail: return &settings.CramImages;
    case Toggle_PlayMusic: return &settings.PlayMusic;
    case Toggle_DefaultMusic: return &settings.DefaultMusic;
    case Toggle_CustomMusic: return &settings.CustomMusic;
    case Toggle_ShuffleMusic: return &settings.ShuffleMusic;
    case Toggle_FastMode: return &settings.FastMode;
  }
  return nullptr;
}

}  // namespace

bool IsToggleChecked(const SaverSettings& settings, ToggleSetting setting) {
  const int value = *ToggleField(const_cast<SaverSettings&>(settings), setting);
  return setting == Toggle_HighestDetail ? value == 0 : value != 0;
}

void StoreToggle(SaverSettings& settings, ToggleSetting setting, bool checked) {
  const bool one = setting == Toggle_HighestDetail ? !checked : checked;
  *ToggleField(settings, setting) = one ? 1 : 0;
}
