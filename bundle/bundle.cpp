#include "bundle/bundle.h"

#include <cstring>
#include <new>
#include <vector>

#include "bundle/bundle_directory.h"
#include "bundle/byte_order.h"
#include "bundle/stdio_file.h"

namespace {

const int64_t kTrailerSize = 4;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Reads `size` bytes at `offset`, or nothing: the range is checked against
// the file's current length before the block is allocated, so a record
// claiming gigabytes costs no allocation when the file is short.
std::unique_ptr<uint8_t[]> ReadRange(const std::string& path, uint32_t offset, uint32_t size) {
  StdioFile file;
  if (!file.Open(path.c_str(), "rb")) return nullptr;
  const int64_t length = file.Length();
  if (length < 0 || static_cast<int64_t>(offset) + size > length) return nullptr;
  if (!file.Seek(offset)) return nullptr;
  // One byte at least, so that a loaded empty file has a block too.
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[size == 0 ? 1 : size]);
  if (block == nullptr) return nullptr;
  block[0] = 0;
  if (!file.ReadExact(block.get(), size)) return nullptr;
  return block;
}

// The directory's bytes, located through the trailer; false when the
// trailer or the directory lies outside the file.
bool ReadDirectory(const char* path, int64_t& directoryOffset, std::vector<uint8_t>& directory) {
  StdioFile file;
  if (!file.Open(path, "rb")) return false;
  const int64_t directoryEnd = file.Length() - kTrailerSize;
  uint8_t trailer[kTrailerSize];
  if (directoryEnd < 0 || !file.Seek(directoryEnd) || !file.ReadExact(trailer, sizeof(trailer))) {
    return false;
  }
  directoryOffset = ReadLE32(trailer);
  if (directoryOffset > directoryEnd) return false;
  const int64_t size = directoryEnd - directoryOffset;
  if (static_cast<uint64_t>(size) > SIZE_MAX) return false;
  try {
    directory.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return file.Seek(directoryOffset) && file.ReadExact(directory.data(), directory.size());
}

template <typename Item>
void DeleteAll(LinkedList<Item*>& list) {
  for (bool more = list.First(); more; more = list.Next()) delete list.Current();
  list.Clear();
}

}  // namespace

bool BundleNameMatches(const std::string& stored, const char* wanted) {
  if (wanted == nullptr || wanted[0] == '\0') return false;
  const size_t length = std::strlen(wanted);
  if (stored.size() != length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (LowerAscii(stored[i]) != LowerAscii(wanted[i])) return false;
  }
  return true;
}

// ---- VFFILECAT ----

VFFILECAT::~VFFILECAT() { DeleteAll(files); }

VFFILE* VFFILECAT::FindFile(const char* fileName) {
  for (bool more = files.First(); more; more = files.Next()) {
    if (BundleNameMatches(files.Current()->name, fileName)) return files.Current();
  }
  return nullptr;
}

uint8_t* VFFILECAT::Load(VFFILE* file) {
  if (file == nullptr) return nullptr;
  if (file->data == nullptr) file->data = ReadCopy(file);
  return file->Data();
}

std::unique_ptr<uint8_t[]> VFFILECAT::ReadCopy(const VFFILE* file) const {
  return file != nullptr ? ReadRange(path, file->offset, file->size) : nullptr;
}

uint8_t* VFFILECAT::LoadNamed(const char* fileName) { return Load(FindFile(fileName)); }

uint8_t* VFFILECAT::GetData(const char* fileName) {
  VFFILE* file = FindFile(fileName);
  return file != nullptr ? file->Data() : nullptr;
}

uint32_t VFFILECAT::GetSize(const char* fileName) {
  VFFILE* file = FindFile(fileName);
  return file != nullptr ? file->size : 0;
}

void VFFILECAT::FreeFile(const char* fileName) {
  VFFILE* file = FindFile(fileName);
  if (file != nullptr) file->Free();
}

bool VFFILECAT::LoadAll() {
  for (bool more = files.First(); more; more = files.Next()) {
    if (Load(files.Current()) == nullptr) return false;
  }
  return true;
}

void VFFILECAT::FreeAll() {
  for (bool more = files.First(); more; more = files.Next()) files.Current()->Free();
}

// ---- VFBUNDLE ----

bool VFBUNDLE::Open(const char* bundlePath) {
  // Always discard: a bundle of empty categories has no files but still
  // holds a directory.
  Close();
  if (bundlePath == nullptr) return false;
  std::vector<uint8_t> directory;
  if (!ReadDirectory(bundlePath, directoryOffset, directory) ||
      !ParseBundleDirectory(directory.data(), directory.size(), bundlePath, *this)) {
    Close();
    return false;
  }
  path = bundlePath;
  return true;
}

void VFBUNDLE::Close() {
  DeleteAll(categories);
  directoryOffset = -1;
  fileCount = 0;
  path.clear();
}

bool VFBUNDLE::OpenAndLoadAll(const char* bundlePath) { return Open(bundlePath) && LoadAll(); }

bool VFBUNDLE::LoadAll() {
  for (bool more = categories.First(); more; more = categories.Next()) {
    if (!categories.Current()->LoadAll()) return false;
  }
  return true;
}

void VFBUNDLE::FreeAll() {
  for (bool more = categories.First(); more; more = categories.Next()) categories.Current()->FreeAll();
}

VFFILECAT* VFBUNDLE::FindCategory(const char* categoryName) {
  for (bool more = categories.First(); more; more = categories.Next()) {
    if (BundleNameMatches(categories.Current()->name, categoryName)) return categories.Current();
  }
  return nullptr;
}

VFFILECAT* VFBUNDLE::LoadCategory(const char* categoryName) {
  VFFILECAT* category = FindCategory(categoryName);
  return category != nullptr && category->LoadAll() ? category : nullptr;
}

uint8_t* VFBUNDLE::LoadFile(const char* categoryName, const char* fileName) {
  VFFILECAT* category = FindCategory(categoryName);
  return category != nullptr ? category->LoadNamed(fileName) : nullptr;
}

uint8_t* VFBUNDLE::GetFileData(const char* categoryName, const char* fileName) {
  VFFILECAT* category = FindCategory(categoryName);
  return category != nullptr ? category->GetData(fileName) : nullptr;
}

uint32_t VFBUNDLE::GetFileSize(const char* categoryName, const char* fileName) {
  VFFILECAT* category = FindCategory(categoryName);
  return category != nullptr ? category->GetSize(fileName) : 0;
}

void VFBUNDLE::FreeFile(const char* categoryName, const char* fileName) {
  VFFILECAT* category = FindCategory(categoryName);
  if (category != nullptr) category->FreeFile(fileName);
}

VFFILECAT* VFBUNDLE::FindCategoryHolding(const char* fileName, VFFILE*& file) {
  for (bool more = categories.First(); more; more = categories.Next()) {
    file = categories.Current()->FindFile(fileName);
    if (file != nullptr) return categories.Current();
  }
  file = nullptr;
  return nullptr;
}

uint8_t* VFBUNDLE::LoadFileAnyCategory(const char* fileName) {
  VFFILE* file = nullptr;
  VFFILECAT* category = FindCategoryHolding(fileName, file);
  return category != nullptr ? category->Load(file) : nullptr;
}

uint8_t* VFBUNDLE::GetFileDataAnyCategory(const char* fileName) {
  VFFILE* file = nullptr;
  FindCategoryHolding(fileName, file);
  return file != nullptr ? file->Data() : nullptr;
}

uint32_t VFBUNDLE::GetFileSizeAnyCategory(const char* fileName) {
  VFFILE* file = nullptr;
  FindCategoryHolding(fileName, file);
  return file != nullptr ? file->size : 0;
}

void VFBUNDLE::FreeFileAnyCategory(const char* fileName) {
  VFFILE* file = nullptr;
  FindCategoryHolding(fileName, file);
  if (file != nullptr) file->Free();
}
