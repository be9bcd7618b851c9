#include "tools/zvbundle_cli.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>
#include <utility>

#include "bundle/bundle.h"
#include "bundle/bundle_writer.h"
#include "bundle/image_records.h"
#include "tools/bundle_manifest.h"
#include "tools/bundle_pack.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage:\n"
    "  zvbundle pack OUT.bdl DIR                  every folder of DIR is a category\n"
    "  zvbundle pack OUT.bdl --manifest FILE      entries from a manifest (below)\n"
    "  zvbundle list [--records] BUNDLE           category, name, offset, size per line;\n"
    "                                             --records adds the decoded dims/caps\n"
    "  zvbundle extract BUNDLE OUTDIR             OUTDIR/category/name for every file\n"
    "  zvbundle append [--replace] EXE DIR|FILE   appends a bundle made from a folder or a\n"
    "                                             manifest to EXE; offsets count from EXE's\n"
    "                                             first byte. --replace swaps a bundle EXE\n"
    "                                             already ends in instead of refusing\n"
    "\n"
    "A folder: each subfolder is a category, categories and files in byte order of\n"
    "their names; names starting with '.' are left out.\n"
    "\n"
    "A manifest: one entry per line, fields separated by one TAB; blank lines and\n"
    "lines starting with '#' are ignored.\n"
    "  CATEGORY<TAB>NAME<TAB>PATH      a file (PATH relative to the manifest's folder)\n"
    "  @category<TAB>CATEGORY          a category, which may stay empty\n"
    "  @dims<TAB>PHOTO[<TAB>FLAGS]     dims record of the \"image\" entry PHOTO, its size\n"
    "                                  decoded from the image; FLAGS h, v or hv limit\n"
    "                                  the zoom centre to horizontal/vertical moves\n"
    "  @caps<TAB>PHOTO<TAB>TEXT        caps record; TEXT escapes: \\n line break, \\t, \\\\\n"
    "Categories are written in the order of first mention; records are stored as\n"
    "PHOTO.dim in \"dims\" and PHOTO.cap in \"caps\".\n"
    "\n"
    "Exit status: 0 success, 1 failure, 2 bad command line.\n";

int Usage(std::ostream& err, const std::string& why) {
  err << "zvbundle: " << why << "\n" << kUsage;
  return kZvUsage;
}

int Fail(std::ostream& err, const std::string& message) {
  err << "zvbundle: " << message << "\n";
  return kZvFailed;
}

// A folder or a manifest, whichever `source` is.
bool LoadPlan(const std::string& source, bool manifest, BundlePlan& plan, std::ostream& err,
              std::string& error) {
  if (manifest) return ReadManifest(source, plan, error);
  std::vector<std::string> notes;
  const bool ok = ScanBundleFolder(source, plan, notes, error);
  for (const std::string& note : notes) err << "zvbundle: note: " << note << "\n";
  return ok;
}

bool BuildWriter(const std::string& source, bool manifest, BundleWriter& writer, std::ostream& err,
                 std::string& error) {
  BundlePlan plan;
  return LoadPlan(source, manifest, plan, err, error) && FillBundle(plan, writer, error);
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out += c;
    }
  }
  return out;
}

bool OpenBundle(VFBUNDLE& bundle, const std::string& path, std::ostream& err) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    err << "zvbundle: " << path << ": no such file\n";
    return false;
  }
  if (!bundle.Open(path)) {
    err << "zvbundle: " << path << ": not a bundle (no valid directory at the end of the file)\n";
    return false;
  }
  return true;
}

// The decoded record of a "dims" or "caps" file, for list --records.
std::string RecordText(VFFILECAT& category, VFFILE& file) {
  const bool dims = BundleNameMatches(category.name, "dims");
  if (!dims && !BundleNameMatches(category.name, "caps")) return "";
  const uint8_t* data = category.Load(&file);
  std::string text = "\t(unreadable record)";
  if (data != nullptr && dims) {
    ImageDims record;
    if (ParseImageDims(data, file.size, record)) {
      text = "\t" + record.name + " " + std::to_string(record.width) + "x" + std::to_string(record.height);
      if (record.horizontalOnly) text += " horizontal-only";
      if (record.verticalOnly) text += " vertical-only";
    }
  } else if (data != nullptr) {
    ImageCaption record;
    if (ParseImageCaption(data, file.size, record)) text = "\t" + record.name + " \"" + Escaped(record.text) + "\"";
  }
  file.Free();
  return text;
}

int List(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const bool records = !args.empty() && args[0] == "--records";
  if (args.size() != (records ? 2u : 1u)) return Usage(err, "list takes one bundle");
  const std::string& path = args.back();
  VFBUNDLE bundle;
  if (!OpenBundle(bundle, path, err)) return kZvFailed;
  int outside = 0;
  for (auto* c = bundle.categories.FirstNode(); c != nullptr; c = c->next) {
    VFFILECAT& category = *c->data;
    if (category.files.Count() == 0) out << category.name << "\n";
    for (auto* f = category.files.FirstNode(); f != nullptr; f = f->next) {
      VFFILE& file = *f->data;
      out << category.name << "\t" << file.name << "\t" << file.offset << "\t" << file.size;
      if (static_cast<int64_t>(file.offset) + file.size > bundle.directoryOffset) {
        ++outside;
        out << "\t(outside the data area)";
      } else if (records) {
        out << RecordText(category, file);
      }
      out << "\n";
    }
  }
  if (outside > 0) return Fail(err, path + ": " + std::to_string(outside) + " file(s) lie outside the data area");
  return kZvOk;
}

// One path component that stays inside the output folder on every system.
bool SafeName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}

bool WriteFile(const fs::path& path, const uint8_t* data, uint32_t size) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(data), size);
  file.close();
  return !file.fail();
}

int Extract(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) return Usage(err, "extract takes a bundle and an output folder");
  VFBUNDLE bundle;
  if (!OpenBundle(bundle, args[0], err)) return kZvFailed;
  int written = 0, failed = 0;
  for (auto* c = bundle.categories.FirstNode(); c != nullptr; c = c->next) {
    VFFILECAT& category = *c->data;
    const fs::path folder = fs::path(args[1]) / category.name;
    std::error_code ec;
    if (SafeName(category.name)) fs::create_directories(folder, ec);
    if (!SafeName(category.name) || ec) {
      err << "zvbundle: category \"" << category.name << "\": cannot make a folder for it\n";
      failed += category.files.Count();
      continue;
    }
    std::set<std::string> seen;  // lower-cased: the reader could not reach a second one
    for (auto* f = category.files.FirstNode(); f != nullptr; f = f->next) {
      VFFILE& file = *f->data;
      std::string lower = file.name;
      std::transform(lower.begin(), lower.end(), lower.begin(),
                     [](char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch + 32) : ch; });
      const std::string where = category.name + "/" + file.name;
      if (!SafeName(file.name) || !seen.insert(lower).second) {
        err << "zvbundle: " << where << ": skipped, the name is unsafe or repeated\n";
        ++failed;
        continue;
      }
      const uint8_t* data = category.Load(&file);
      if (data == nullptr) {
        err << "zvbundle: " << where << ": cannot read it (offset " << file.offset << ", size " << file.size
            << " lies outside the file)\n";
        ++failed;
        continue;
      }
      if (!WriteFile(folder / file.name, data, file.size)) {
        err << "zvbundle: " << (folder / file.name).string() << ": cannot write\n";
        ++failed;
      } else {
        ++written;
      }
      file.Free();
    }
  }
  out << "extracted " << written << " file(s) into " << args[1] << "\n";
  return failed == 0 ? kZvOk : Fail(err, std::to_string(failed) + " file(s) not extracted");
}

int Pack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const bool manifest = args.size() == 3 && args[1] == "--manifest";
  if (args.size() != 2 && !manifest) return Usage(err, "pack takes OUT.bdl and DIR or --manifest FILE");
  BundleWriter writer;
  std::string error;
  if (!BuildWriter(args.back(), manifest, writer, err, error)) return Fail(err, error);
  if (!writer.WriteTo(args[0])) return Fail(err, args[0] + ": cannot write the bundle");
  out << "packed " << writer.FileCount() << " file(s), " << writer.DataSize() << " bytes, into " << args[0]
      << "\n";
  return kZvOk;
}

// Where a well-formed bundle tail of `path` begins: its files lie back to
// back up to the directory. False when the file does not end in one.
bool FindTail(const std::string& path, uint64_t& start) {
  VFBUNDLE bundle;
  if (!bundle.Open(path)) return false;
  std::vector<std::pair<uint64_t, uint64_t>> ranges;
  for (auto* c = bundle.categories.FirstNode(); c != nullptr; c = c->next) {
    for (auto* f = c->data->files.FirstNode(); f != nullptr; f = f->next) {
      ranges.emplace_back(f->data->offset, f->data->size);
    }
  }
  std::sort(ranges.begin(), ranges.end());
  const uint64_t directory = static_cast<uint64_t>(bundle.directoryOffset);
  uint64_t end = ranges.empty() ? directory : ranges.front().first;
  start = end;
  for (const auto& range : ranges) {
    if (range.first != end) return false;
    end += range.second;
  }
  return end == directory;
}

int Append(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
  const bool replace = !args.empty() && args[0] == "--replace";
  if (replace) args.erase(args.begin());
  if (args.size() != 2) return Usage(err, "append takes an executable and a folder or manifest");
  const std::string& exe = args[0];
  std::error_code ec;
  if (!fs::is_regular_file(exe, ec)) return Fail(err, exe + ": no such file");
  const bool manifest = !fs::is_directory(args[1], ec);
  BundleWriter writer;
  std::string error;
  if (!BuildWriter(args[1], manifest, writer, err, error)) return Fail(err, error);
  uint64_t tail = 0;
  if (FindTail(exe, tail)) {
    if (!replace) return Fail(err, exe + " already ends in a bundle; use append --replace to swap it");
    fs::resize_file(exe, tail, ec);
    if (ec) return Fail(err, exe + ": cannot remove the old bundle (" + ec.message() + ")");
  }
  const uintmax_t former = fs::file_size(exe, ec);
  if (ec || !writer.AppendTo(exe)) return Fail(err, exe + ": cannot append the bundle");
  out << "appended " << writer.FileCount() << " file(s) to " << exe << " at offset " << former << "\n";
  return kZvOk;
}

}  // namespace

int RunZvbundle(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err, "no command");
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h" || command == "help") {
    out << kUsage;
    return kZvOk;
  }
  if (command == "pack") return Pack(rest, out, err);
  if (command == "list") return List(rest, out, err);
  if (command == "extract") return Extract(rest, out, err);
  if (command == "append") return Append(rest, out, err);
  return Usage(err, "unknown command \"" + command + "\"");
}
