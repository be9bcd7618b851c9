#include "tools/check_sum_file.h"

#include <cstdint>
#include <fstream>

#include "bundle/crc32.h"

bool WriteCheckSumFile(const std::string& output, const CheckSumFiles& files, std::string& error) {
  uint32_t slots[8] = {};
  const struct {
    int slot;
    const std::string* path;
  } sources[] = {{2, &files.bundle}, {4, &files.installedSaver}, {5, &files.saver}, {6, &files.saverExe}};
  for (const auto& source : sources) {
    const FileCrcResult result = FileCrc32(*source.path);
    if (result.error != 0 || source.path->empty()) {
      error = "cannot read " + *source.path;
      return false;
    }
    slots[source.slot] = result.crc;
  }
  unsigned char bytes[32];
  for (int i = 0; i < 8; ++i)
    for (int b = 0; b < 4; ++b) bytes[i * 4 + b] = static_cast<unsigned char>(slots[i] >> (8 * b));
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes), sizeof bytes);
  out.close();
  if (!out) {
    error = "cannot write " + output;
    return false;
  }
  return true;
}
