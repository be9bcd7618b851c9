// The two bundle readers the whole program shares: "images.bdl" beside the
// program (opened by device set-up, read by the music player and fast
// mode) and the skin bundle in the program file's own tail (opened by the
// settings dialog and the skinned windows). The slideshow has a reader of
// its own.
#pragma once

#include "bundle/bundle.h"

extern VFBUNDLE theImageBundle;
extern VFBUNDLE theSkinBundle;
