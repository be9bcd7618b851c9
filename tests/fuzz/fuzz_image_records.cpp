// The "dims" and "caps" records come from the replaceable image bundle. The
// parsers must stay inside the record, and whatever they accept must write
// back to a record that reads the same.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bundle/image_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes;

  ImageDims dims;
  if (ParseImageDims(data, size, dims)) {
    ImageDims again;
    if (!SerializeImageDims(dims, true, bytes) || !ParseImageDims(bytes.data(), bytes.size(), again))
      __builtin_trap();
    if (again.width != dims.width || again.height != dims.height || again.name != dims.name ||
        again.horizontalOnly != dims.horizontalOnly || again.verticalOnly != dims.verticalOnly)
      __builtin_trap();
    if (bytes.size() > size + 2) __builtin_trap();
    const std::vector<ImageDims> table = {ImageDims(), dims};
    if (FindImageRecordIndex(table, dims.name) != (dims.name.empty() ? 0 : 1)) __builtin_trap();
  }

  ImageCaption caption;
  if (ParseImageCaption(data, size, caption)) {
    ImageCaption again;
    if (!SerializeImageCaption(caption, bytes) || !ParseImageCaption(bytes.data(), bytes.size(), again))
      __builtin_trap();
    for (int i = 0; i < 3; ++i) {
      if (again.values[i] != caption.values[i]) __builtin_trap();
    }
    if (again.name != caption.name || again.text != caption.text || bytes.size() > size)
      __builtin_trap();
  }
  return 0;
}
