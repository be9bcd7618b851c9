// A bundle file is replaceable by anyone: its directory walk must reject or
// accept any bytes without reading outside them. Most inputs go to the
// in-memory parser as a directory; every fourth size is written out as a
// whole bundle file and opened and loaded the way the saver does, where
// records claiming more bytes than the file holds must fail before any
// allocation of that size (the driver's malloc limit reports one).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include <unistd.h>

#include "bundle/bundle.h"
#include "bundle/bundle_directory.h"

namespace {

std::string& TempPath() {
  static std::string path = "/tmp/zv_fuzz_bundle_" + std::to_string(getpid()) + ".bdl";
  return path;
}

// Lookups by every name the directory holds, as stored, case-folded and
// cut short. Names are gathered first: each lookup moves the lists' cursors.
void WalkLookups(VFBUNDLE& bundle) {
  std::vector<std::string> categoryNames, fileNames;
  int32_t files = 0;
  for (bool more = bundle.categories.First(); more; more = bundle.categories.Next()) {
    VFFILECAT* category = bundle.categories.Current();
    if (!bundle.path.empty() && category->path != bundle.path) __builtin_trap();
    categoryNames.push_back(category->name);
    files += category->files.Count();
    for (bool f = category->files.First(); f; f = category->files.Next()) {
      fileNames.push_back(category->files.Current()->name);
    }
  }
  if (files != bundle.fileCount) __builtin_trap();
  for (const std::string& name : categoryNames) {
    if (!name.empty() && bundle.FindCategory(name.c_str()) == nullptr) __builtin_trap();
  }
  for (std::string name : fileNames) {
    if (name.find('\0') != std::string::npos) __builtin_trap();
    bundle.GetFileDataAnyCategory(name.c_str());
    for (char& c : name) c = static_cast<char>(c ^ 0x20);
    bundle.GetFileSizeAnyCategory(name.c_str());
    if (!name.empty()) name.pop_back();
    bundle.FindCategory(name.c_str());
  }
}

void OpenAndLoad(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(TempPath().c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  VFBUNDLE bundle;
  if (!bundle.Open(TempPath())) {
    if (bundle.fileCount != 0 || bundle.directoryOffset != -1 || bundle.categories.Count() != 0)
      __builtin_trap();
    return;
  }
  if (bundle.directoryOffset < 0 || static_cast<size_t>(bundle.directoryOffset) + 4 > size)
    __builtin_trap();
  bundle.LoadAll();
  for (bool more = bundle.categories.First(); more; more = bundle.categories.Next()) {
    VFFILECAT* category = bundle.categories.Current();
    for (bool f = category->files.First(); f; f = category->files.Next()) {
      VFFILE* file = category->files.Current();
      if (file->data != nullptr && uint64_t{file->offset} + file->size > size) __builtin_trap();
    }
  }
  WalkLookups(bundle);
  bundle.FreeAll();
}

// The bundle file lives only for the call: the driver ends the process
// without running exit handlers.
void OpenAsFile(const uint8_t* data, size_t size) {
  OpenAndLoad(data, size);
  std::remove(TempPath().c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size % 4 == 0) {
    OpenAsFile(data, size);
    return 0;
  }
  VFBUNDLE bundle;
  if (!ParseBundleDirectory(data, size, "fuzz.bdl", bundle)) {
    if (bundle.fileCount != 0 || bundle.categories.Count() != 0) __builtin_trap();
    return 0;
  }
  if (size == 0 || data[0] != '?') __builtin_trap();
  WalkLookups(bundle);
  return 0;
}
