#include "tools/bundle_manifest.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

bool Unescape(const std::string& text, std::string& out, std::string& error) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (next == 'n') {
      out += '\n';
    } else if (next == 't') {
      out += '\t';
    } else if (next == '\\') {
      out += '\\';
    } else {
      error = "unknown escape in caption text (use \\n, \\t or \\\\)";
      return false;
    }
    ++i;
  }
  return true;
}

void NoteCategory(BundlePlan& plan, const std::string& category) {
  if (std::find(plan.categories.begin(), plan.categories.end(), category) == plan.categories.end()) {
    plan.categories.push_back(category);
  }
}

void AddItem(BundlePlan& plan, BundleItem item) {
  NoteCategory(plan, item.category);
  plan.items.push_back(std::move(item));
}

bool ParseFlags(const std::string& flags, BundleItem& item) {
  for (char c : flags) {
    if (c == 'h') {
      item.horizontalOnly = true;
    } else if (c == 'v') {
      item.verticalOnly = true;
    } else {
      return false;
    }
  }
  return !flags.empty();
}

std::string Resolve(const std::string& baseDir, const std::string& path) {
  const fs::path p(path);
  return p.is_absolute() || baseDir.empty() ? path : (fs::path(baseDir) / p).string();
}

// One non-comment line; false with `error` set for a malformed one.
bool ParseLine(const std::vector<std::string>& f, const std::string& origin, const std::string& baseDir,
               BundlePlan& plan, std::string& error) {
  const std::string& head = f[0];
  BundleItem item;
  item.origin = origin;
  if (head == "@category") {
    if (f.size() != 2 || f[1].empty()) {
      error = "@category takes one category name";
      return false;
    }
    NoteCategory(plan, f[1]);
    return true;
  }
  if (head == "@dims") {
    if (f.size() < 2 || f.size() > 3 || f[1].empty()) {
      error = "@dims takes a photograph name and optional flags";
      return false;
    }
    if (f.size() == 3 && !ParseFlags(f[2], item)) {
      error = "@dims flags are \"h\", \"v\" or \"hv\", not \"" + f[2] + "\"";
      return false;
    }
    item.kind = BundleItem::Kind::Dims;
    item.category = "dims";
    item.photo = f[1];
    item.name = f[1] + ".dim";
    AddItem(plan, std::move(item));
    return true;
  }
  if (head == "@caps") {
    if (f.size() != 3 || f[1].empty()) {
      error = "@caps takes a photograph name and a caption text";
      return false;
    }
    if (!Unescape(f[2], item.text, error)) return false;
    item.kind = BundleItem::Kind::Caps;
    item.category = "caps";
    item.photo = f[1];
    item.name = f[1] + ".cap";
    AddItem(plan, std::move(item));
    return true;
  }
  if (!head.empty() && head[0] == '@') {
    error = "unknown directive " + head;
    return false;
  }
  if (f.size() != 3 || head.empty() || f[1].empty() || f[2].empty()) {
    error = "expected CATEGORY<TAB>NAME<TAB>PATH";
    return false;
  }
  item.category = head;
  item.name = f[1];
  item.source = Resolve(baseDir, f[2]);
  AddItem(plan, std::move(item));
  return true;
}

}  // namespace

bool ParseManifest(const std::string& text, const std::string& label, const std::string& baseDir,
                   BundlePlan& plan, std::string& error) {
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::string origin = label + ":" + std::to_string(number);
    std::string why;
    if (!ParseLine(SplitTabs(line), origin, baseDir, plan, why)) {
      error = origin + ": " + why;
      return false;
    }
  }
  return true;
}

bool ReadManifest(const std::string& path, BundlePlan& plan, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot read the manifest";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseManifest(text.str(), path, fs::path(path).parent_path().string(), plan, error);
}

namespace {

// The entries of one folder in byte order of their names, '.' names left out.
bool SortedEntries(const fs::path& dir, std::vector<fs::directory_entry>& entries, std::string& error) {
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string()[0] != '.') entries.push_back(*it);
  }
  if (ec) {
    error = dir.string() + ": cannot list the folder (" + ec.message() + ")";
    return false;
  }
  std::sort(entries.begin(), entries.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
    return a.path().filename().string() < b.path().filename().string();
  });
  return true;
}

}  // namespace

bool ScanBundleFolder(const std::string& dir, BundlePlan& plan, std::vector<std::string>& notes,
                      std::string& error) {
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    error = dir + ": not a folder";
    return false;
  }
  std::vector<fs::directory_entry> categories;
  if (!SortedEntries(dir, categories, error)) return false;
  for (const fs::directory_entry& category : categories) {
    if (!category.is_directory(ec)) {
      notes.push_back(category.path().string() + ": skipped, not a category folder");
      continue;
    }
    const std::string name = category.path().filename().string();
    NoteCategory(plan, name);
    std::vector<fs::directory_entry> files;
    if (!SortedEntries(category.path(), files, error)) return false;
    for (const fs::directory_entry& file : files) {
      if (!file.is_regular_file(ec)) {
        notes.push_back(file.path().string() + ": skipped, not a file");
        continue;
      }
      BundleItem item;
      item.category = name;
      item.name = file.path().filename().string();
      item.source = file.path().string();
      item.origin = item.source;
      plan.items.push_back(std::move(item));
    }
  }
  return true;
}
