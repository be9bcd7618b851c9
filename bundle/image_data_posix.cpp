// Native stand-in for the pixel memory: plain heap blocks, no bitmap.
#include "bundle/image_data.h"

#include <cstdio>
#include <cstdlib>

bool CImageData::AllocateStore(int width, int height, Store& store) {
  void* pixels = std::calloc(static_cast<size_t>(width) * static_cast<size_t>(height), 4);
  if (pixels == nullptr) return false;
  store.pixels = static_cast<uint8_t*>(pixels);
  store.bitmap = nullptr;
  store.width = width;
  store.height = height;
  return true;
}

void CImageData::ReleaseStore(Store& store) {
  std::free(store.pixels);
  store = Store();
}

