// The bundle reader: every packaged file of the saver (photographs, their
// records, music, the settings dialog's skin) travels in one container made
// of the files back to back, a directory, and a four-byte trailer holding
// the directory's absolute offset. The layout is found from the end of the
// file alone, so the same reader opens "images.bdl" and the program's own
// executable, whose tail carries the skin bundle.
//
// Only the directory is read at open; file bytes are loaded on demand, each
// load opening the bundle file anew, so no handle stays open between calls.
// Lookups move the lists' cursors: one bundle object serves one thread.
//
// The file is untrusted input. A directory record that runs past the
// directory, a trailer pointing outside the file, or a directory not
// starting with a category record fails Open and leaves the bundle empty.
// A file record pointing beyond the end of the file fails its load before
// any block is allocated for it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/linked_list.h"

// Exact-length, ASCII case-insensitive comparison used for every category
// and file lookup. An empty or null wanted name never matches.
bool BundleNameMatches(const std::string& stored, const char* wanted);

// One contained file. `data` is null while not loaded; a loaded block holds
// exactly `size` bytes (a zero-size file gets a non-null block of one zero
// byte, so "loaded" stays distinguishable from "not loaded").
class VFFILE {
 public:
  VFFILE(const std::string& fileName, uint32_t fileOffset, uint32_t fileSize)
      : size(fileSize), offset(fileOffset), name(fileName) {}
  VFFILE(const VFFILE&) = delete;
  VFFILE& operator=(const VFFILE&) = delete;

  uint8_t* Data() const { return data.get(); }
  void Free() { data.reset(); }

  uint32_t size;
  uint32_t offset;  // absolute, from the first byte of the bundle file
  std::string name;
  std::unique_ptr<uint8_t[]> data;
};

// One category; owns its files, read through `path`.
class VFFILECAT {
 public:
  VFFILECAT(const std::string& categoryName, const std::string& bundlePath)
      : name(categoryName), path(bundlePath) {}
  ~VFFILECAT();
  VFFILECAT(const VFFILECAT&) = delete;
  VFFILECAT& operator=(const VFFILECAT&) = delete;

  VFFILE* FindFile(const char* fileName);
  // Returns the cached block, or reads the file from disk; null on failure
  // (also for a null file), leaving `data` null.
  uint8_t* Load(VFFILE* file);
  // A copy of the file's bytes read from disk for the caller alone, or the
  // cache untouched (other threads may be loading); null on failure.
  std::unique_ptr<uint8_t[]> ReadCopy(const VFFILE* file) const;
  uint8_t* LoadNamed(const char* fileName);
  // Current block, never loads; null when missing or not loaded.
  uint8_t* GetData(const char* fileName);
  uint32_t GetSize(const char* fileName);  // 0 when missing
  void FreeFile(const char* fileName);
  // Loads each file in order; false at the first failure (later files stay
  // unloaded). An empty category succeeds.
  bool LoadAll();
  void FreeAll();

  std::string name;
  LinkedList<VFFILE*> files;  // owned, directory order
  std::string path;
};

// One opened bundle: empty (directoryOffset -1, no categories) or open.
class VFBUNDLE {
 public:
  VFBUNDLE() = default;
  ~VFBUNDLE() { Close(); }
  VFBUNDLE(const VFBUNDLE&) = delete;
  VFBUNDLE& operator=(const VFBUNDLE&) = delete;

  // Discards anything open, then reads the directory. False for a null
  // path, an unreadable file or a malformed directory; the bundle is then
  // empty.
  bool Open(const char* bundlePath);
  bool Open(const std::string& bundlePath) { return Open(bundlePath.c_str()); }
  void Close();
  bool OpenAndLoadAll(const char* bundlePath);
  bool OpenAndLoadAll(const std::string& bundlePath) { return OpenAndLoadAll(bundlePath.c_str()); }
  bool LoadAll();
  void FreeAll();

  VFFILECAT* FindCategory(const char* categoryName);
  // The category with all its files loaded; null when missing or a load
  // fails.
  VFFILECAT* LoadCategory(const char* categoryName);
  uint8_t* LoadFile(const char* categoryName, const char* fileName);
  uint8_t* GetFileData(const char* categoryName, const char* fileName);
  uint32_t GetFileSize(const char* categoryName, const char* fileName);
  void FreeFile(const char* categoryName, const char* fileName);

  // The same across all categories: the first category (directory order)
  // that holds the name.
  uint8_t* LoadFileAnyCategory(const char* fileName);
  uint8_t* GetFileDataAnyCategory(const char* fileName);
  uint32_t GetFileSizeAnyCategory(const char* fileName);
  void FreeFileAnyCategory(const char* fileName);

  int64_t directoryOffset = -1;  // trailer value; holds any u32
  LinkedList<VFFILECAT*> categories;  // owned, directory order
  std::string path;
  int32_t fileCount = 0;

 private:
  // The first category holding `fileName`, with that file.
  VFFILECAT* FindCategoryHolding(const char* fileName, VFFILE*& file);
};
