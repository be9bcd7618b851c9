// Fast mode: the slideshow without Direct3D. Each photograph is decoded,
// fitted into an off-screen GDI picture of the screen and brought onto the
// saver window by one of twelve block-transfer effects; the other monitors
// get a stretched copy.
#pragma once

#include <cstdint>

#include "slideshow/frame_stats.h"

// After the slideshow is opened: shows the first photograph, pre-loads the
// second. Always true; a bundle without a usable photograph closes the saver.
bool FastSetup();
// One pass of the main loop in fast mode.
void FastFrame(float frameMs);
// Effect 1..12 over `durationMs`; anything else copies the picture at once.
void PlayEffect(int32_t effect, int32_t durationMs);
void MirrorMonitors();
// Frees the fast-mode pictures.
void FastCleanUp();
// Durations of the effects played so far in this run.
const DurationStats& FastEffectStats();
