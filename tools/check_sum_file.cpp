#include "tools/check_sum_file.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "bundle/byte_order.h"
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
  std::vector<uint8_t> bytes;
  for (const uint32_t crc : slots) AppendLE32(bytes, crc);
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    error = "cannot write " + output;
    return false;
  }
  return true;
}
