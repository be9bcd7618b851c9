#include "bundle/bundle_writer.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "bundle/byte_order.h"
#include "bundle/stdio_file.h"

namespace {

const uint64_t kOffsetLimit = UINT32_MAX;

bool ValidName(const std::string& name) {
  return !name.empty() && name.find('\0') == std::string::npos;
}

void AppendName(std::vector<uint8_t>& out, const std::string& name) {
  out.insert(out.end(), name.begin(), name.end());
  out.push_back(0);
}

}  // namespace

bool BundleWriter::AddCategory(const std::string& name) {
  if (!ValidName(name)) return false;
  entries_.push_back(Entry{true, name, {}});
  return true;
}

bool BundleWriter::AddFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  return AddFile(name, bytes.data(), bytes.size());
}

bool BundleWriter::AddFile(const std::string& name, const void* bytes, size_t size) {
  if (entries_.empty() || !ValidName(name) || name[0] == '?') return false;
  if (size > kOffsetLimit - dataSize_) return false;
  const uint8_t* first = static_cast<const uint8_t*>(bytes);
  entries_.push_back(Entry{false, name, std::vector<uint8_t>(first, first + size)});
  dataSize_ += size;
  ++fileCount_;
  return true;
}

bool BundleWriter::BuildDirectory(uint64_t baseOffset, std::vector<uint8_t>& out) const {
  // Every offset, and the directory's own in the trailer, must fit 32 bits.
  if (baseOffset > kOffsetLimit || dataSize_ > kOffsetLimit - baseOffset) return false;
  uint64_t offset = baseOffset;
  for (const Entry& entry : entries_) {
    if (entry.isCategory) {
      out.push_back('?');
      AppendName(out, entry.name);
      continue;
    }
    AppendName(out, entry.name);
    AppendLE32(out, static_cast<uint32_t>(offset));
    AppendLE32(out, static_cast<uint32_t>(entry.bytes.size()));
    offset += entry.bytes.size();
  }
  AppendLE32(out, static_cast<uint32_t>(offset));
  return true;
}

bool BundleWriter::Build(uint64_t baseOffset, std::vector<uint8_t>& out) const {
  out.clear();
  std::vector<uint8_t> directory;
  if (!BuildDirectory(baseOffset, directory)) return false;
  for (const Entry& entry : entries_) out.insert(out.end(), entry.bytes.begin(), entry.bytes.end());
  out.insert(out.end(), directory.begin(), directory.end());
  return true;
}

bool BundleWriter::WriteAt(const std::string& path, const char* mode, uint64_t baseOffset,
                           bool& opened) const {
  opened = false;
  std::vector<uint8_t> directory;
  if (!BuildDirectory(baseOffset, directory)) return false;
  StdioFile file;
  if (!file.Open(path.c_str(), mode)) return false;
  opened = true;
  for (const Entry& entry : entries_) {
    if (!file.WriteAll(entry.bytes.data(), entry.bytes.size())) return false;
  }
  return file.WriteAll(directory.data(), directory.size()) && file.Finish();
}

bool BundleWriter::WriteTo(const std::string& path) const {
  bool opened = false;
  if (WriteAt(path, "wb", 0, opened)) return true;
  if (opened) std::remove(path.c_str());
  return false;
}

bool BundleWriter::AppendTo(const std::string& existingPath) const {
  std::error_code error;
  const uint64_t length = std::filesystem::file_size(existingPath, error);
  if (error) return false;
  bool opened = false;
  if (WriteAt(existingPath, "ab", length, opened)) return true;
  if (opened) std::filesystem::resize_file(existingPath, length, error);
  return false;
}
