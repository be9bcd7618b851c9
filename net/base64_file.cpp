#include "net/base64_file.h"

#include <cstdio>

// libb64 is C without C++ guards of its own.
extern "C" {
#include <b64/cencode.h>
}

#include "foundation/shared_file.h"

namespace {

constexpr int kBlockBytes = 4096;
constexpr int kLineChars = 72;
// Four characters for every three bytes, a line feed for every 72
// characters, and the final group with its line feed.
constexpr int kCodeBytes = kBlockBytes / 3 * 4 + kBlockBytes / 54 + 16;

class EncodedWriter {
 public:
  explicit EncodedWriter(std::FILE* target) : target_(target) {}

  void Write(const char* code, int length) {
    for (int i = 0; i < length; ++i) column_ = code[i] == '\n' ? 0 : column_ + 1;
    std::fwrite(code, 1, static_cast<std::size_t>(length), target_);
  }
  // libb64 breaks lines after complete groups only: when the padded last
  // group fills a line, that line's feed is missing before the final one.
  void Finish(base64_encodestate& state) {
    char code[16];
    const int length = base64_encode_blockend(code, &state);  // last group, '\n'
    Write(code, length - 1);
    if (column_ == kLineChars) Write("\n", 1);
    Write("\n", 1);
  }

 private:
  std::FILE* target_;
  int column_ = 0;  // characters since the last line feed
};

// Writes the encoded source into `target`. An unreadable source encodes as
// an empty one. A short write shows in the text read back.
void WriteEncoded(std::FILE* source, std::FILE* target) {
  base64_encodestate state;
  base64_init_encodestate(&state);
  EncodedWriter writer(target);
  if (source != nullptr) {
    char plain[kBlockBytes];
    char code[kCodeBytes];
    std::size_t got;
    while ((got = std::fread(plain, 1, sizeof plain, source)) > 0)
      writer.Write(code, base64_encode_block(plain, static_cast<int>(got), code, &state));
  }
  writer.Finish(state);
}

}  // namespace

std::string Base64TargetPath(const std::string& sourcePath) {
  const std::size_t folderEnd = sourcePath.find_last_of("\\/");
  const std::size_t nameStart = folderEnd == std::string::npos ? 0 : folderEnd + 1;
  const std::size_t dot = sourcePath.rfind('.');
  const std::size_t nameEnd =
      dot != std::string::npos && dot >= nameStart ? dot : sourcePath.size();
  return sourcePath.substr(0, nameEnd) + ".b64";
}

bool EncodeFileBase64(const std::string& sourcePath, std::string& text) {
  text.clear();
  const std::string targetPath = Base64TargetPath(sourcePath);
  DeleteFileAt(targetPath.c_str());

  // Text mode: on Windows the line feeds reach the disk as CR LF.
  std::FILE* target = OpenSharedFile(targetPath.c_str(), "w");
  if (target == nullptr) return false;
  std::FILE* source = OpenSharedFile(sourcePath.c_str(), "rb");
  WriteEncoded(source, target);
  if (source != nullptr) std::fclose(source);
  std::fclose(target);

  return ReadWholeFile(targetPath.c_str(), text);
}
