#include "slideshow/picture_fit.h"

FittedSize FitInside(int32_t dimsWidth, int32_t dimsHeight, int32_t areaWidth, int32_t areaHeight) {
  FittedSize size{areaWidth, areaHeight};
  if (dimsWidth <= 0 || dimsHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) return size;
  const double e = static_cast<double>(dimsWidth) / dimsHeight;
  if (e >= static_cast<double>(areaWidth) / areaHeight) {
    size.height = static_cast<int32_t>(areaWidth / e);
  } else {
    size.width = static_cast<int32_t>(e * areaHeight);
  }
  return size;
}
