// Turns a binary file (the crash dump) into base64 text for the error
// report's form: the text is written into a ".b64" file beside the source,
// which stays on disk, and read back from there. The target is written in
// text mode, so on Windows its lines end in CR LF, and the text read back
// (in binary) carries them.
//
// Encoding: libb64's stream encoder, the standard alphabet with "=" padding,
// a line feed after every 72 characters (also when the padded last group
// completes a line, where libb64 itself leaves it out) and one at the very
// end.
#pragma once

#include <string>

// The source's drive, folder and file name without its extension, then
// ".b64". Both '\\' and '/' separate folders; only a dot in the last
// component starts an extension.
std::string Base64TargetPath(const std::string& sourcePath);

// Encodes the source into Base64TargetPath(sourcePath), deleting an older
// target first, and returns the target's whole content in `text`. A source
// that cannot be read or is empty gives a target holding one line feed.
// False, with `text` empty, when the target cannot be read back.
bool EncodeFileBase64(const std::string& sourcePath, std::string& text);
