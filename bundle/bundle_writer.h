// Builds bundles in the reader's layout: every file's bytes back to back,
// then the directory (a '?' record per category, a name, NUL, offset, size
// record per file), then the four-byte directory offset. The bundle tool
// uses it for "images.bdl" and to append the skin bundle to the program's
// executable, where all offsets count from the executable's first byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class BundleWriter {
 public:
  BundleWriter() = default;
  BundleWriter(const BundleWriter&) = delete;
  BundleWriter& operator=(const BundleWriter&) = delete;

  // Starts a category; the files added next belong to it. False for an
  // empty name or one containing NUL.
  bool AddCategory(const std::string& name);
  // Adds a file to the current category. False before any category, for an
  // empty name, a name containing NUL or starting with '?', or when the
  // data would no longer fit 32-bit offsets.
  bool AddFile(const std::string& name, const std::vector<uint8_t>& bytes);
  bool AddFile(const std::string& name, const void* bytes, size_t size);

  // The whole bundle as it is stored when its first byte lies at
  // `baseOffset` of the file; false when an offset would pass 4 GiB.
  bool Build(uint64_t baseOffset, std::vector<uint8_t>& out) const;
  // Writes a stand-alone bundle (data from offset 0), replacing the file.
  // A write failing after the file was opened removes the file.
  bool WriteTo(const std::string& path) const;
  // Appends the bundle to the end of an existing file, the first file's
  // offset being that file's former length. A failed append cuts the file
  // back to that length.
  bool AppendTo(const std::string& existingPath) const;

  size_t FileCount() const { return fileCount_; }
  uint64_t DataSize() const { return dataSize_; }

 private:
  struct Entry {
    bool isCategory;
    std::string name;
    std::vector<uint8_t> bytes;
  };

  // `opened` tells whether the file was touched, so that a failure cleans
  // up only what this writer did.
  bool WriteAt(const std::string& path, const char* mode, uint64_t baseOffset, bool& opened) const;
  // The directory and trailer for data starting at `baseOffset`.
  bool BuildDirectory(uint64_t baseOffset, std::vector<uint8_t>& out) const;

  std::vector<Entry> entries_;
  size_t fileCount_ = 0;
  uint64_t dataSize_ = 0;
};
