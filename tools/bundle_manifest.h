// What the bundle tool is to pack, read from a folder of category folders or
// from a manifest, before any contained file is opened.
//
// Manifest: one entry per line, fields separated by single TABs; blank lines
// and lines starting with '#' are skipped, a trailing CR is dropped.
//   CATEGORY <TAB> NAME <TAB> PATH   a file; its bytes come from PATH (relative
//                                    paths count from the manifest's folder)
//   @category <TAB> CATEGORY         names a category, which may stay empty
//   @dims <TAB> PHOTO [<TAB> FLAGS]  a "dims" record for the "image" entry
//                                    PHOTO, its size from decoding the image;
//                                    FLAGS "h" (horizontal only), "v" (vertical
//                                    only) or "hv"
//   @caps <TAB> PHOTO <TAB> TEXT     a "caps" record; in TEXT, \n is a line
//                                    break, \t a TAB and \\ a backslash
// Categories are written in the order of their first mention; the records
// become files PHOTO.dim in "dims" and PHOTO.cap in "caps".
#pragma once

#include <string>
#include <vector>

struct BundleItem {
  enum class Kind { File, Dims, Caps };
  Kind kind = Kind::File;
  std::string category;
  std::string name;    // the name stored in the bundle
  std::string source;  // File: where the bytes come from
  std::string photo;   // Dims, Caps: the photograph the record describes
  std::string text;    // Caps: the caption, escapes resolved
  bool horizontalOnly = false;
  bool verticalOnly = false;
  std::string origin;  // "manifest:line" or the source path, for messages
};

struct BundlePlan {
  std::vector<std::string> categories;  // order of first mention
  std::vector<BundleItem> items;        // order of mention
};

// `label` names the manifest in messages; `baseDir` resolves relative paths.
bool ParseManifest(const std::string& text, const std::string& label, const std::string& baseDir,
                   BundlePlan& plan, std::string& error);
bool ReadManifest(const std::string& path, BundlePlan& plan, std::string& error);
// Every folder of `dir` is a category and every file in it an entry, both in
// byte order of their names; names starting with '.' are skipped, as are
// loose files and nested folders (each reported in `notes`).
bool ScanBundleFolder(const std::string& dir, BundlePlan& plan, std::vector<std::string>& notes,
                      std::string& error);
