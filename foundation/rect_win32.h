// Between the portable Rect and the system's RECT, which have the same
// fields in the same order.
#pragma once

#include <windows.h>

#include "foundation/rect.h"

inline RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline Rect FromRECT(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
