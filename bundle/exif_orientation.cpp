#include "bundle/exif_orientation.h"

#include <memory>

#include <libexif/exif-data.h>

namespace {

struct ExifDataRelease {
  void operator()(ExifData* data) const { exif_data_unref(data); }
};

}  // namespace

int ExifOrientation(const uint8_t* app1, size_t size) {
  if (app1 == nullptr || size < 6 || size > 0xFFFF) return 1;
  std::unique_ptr<ExifData, ExifDataRelease> exif(exif_data_new());
  if (!exif) return 1;
  // Reading only: libexif would otherwise add the tags the standard asks
  // for and rewrite entries it finds in the wrong format.
  exif_data_unset_option(exif.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
  exif_data_load_data(exif.get(), app1, static_cast<unsigned int>(size));
  ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
  if (entry == nullptr || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 ||
      entry->data == nullptr || entry->size < 2)
    return 1;
  const int value = exif_get_short(entry->data, exif_data_get_byte_order(exif.get()));
  return value >= 1 && value <= 8 ? value : 1;
}

bool OrientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

UprightLine UprightLineOfRow(int orientation, int width, int height, int row) {
  const size_t w = static_cast<size_t>(width);
  const size_t h = static_cast<size_t>(height);
  const size_t y = static_cast<size_t>(row);
  const ptrdiff_t across = static_cast<ptrdiff_t>(h);  // one upright row when the sides swap
  switch (orientation) {
    case 2:
      return {y * w + w - 1, -1};
    case 3:
      return {(h - 1 - y) * w + w - 1, -1};
    case 4:
      return {(h - 1 - y) * w, 1};
    case 5:  // stored rows become upright columns, left to right
      return {y, across};
    case 6:  // ... right to left
      return {h - 1 - y, across};
    case 7:  // ... right to left, read from the bottom
      return {(w - 1) * h + h - 1 - y, -across};
    case 8:  // ... left to right, read from the bottom
      return {(w - 1) * h + y, -across};
    default:
      return {y * w, 1};
  }
}
