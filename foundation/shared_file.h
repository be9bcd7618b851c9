// Opening files that other processes may read and write while we hold them,
// as the log must stay readable (and deletable by its next run) while it is
// appended. Used by the logger and by anything else that appends to a file
// someone may be watching.
#pragma once

#include <cstdio>
#include <string>

// fopen with full sharing for other readers and writers. Null on failure.
std::FILE* OpenSharedFile(const char* path, const char* mode);

// Deletes the file at `path`; false when there was none or it could not go.
bool DeleteFileAt(const char* path);

// The whole file's bytes, opened shared and read in binary. False, with
// `bytes` empty, when it cannot be opened or read.
bool ReadWholeFile(const char* path, std::string& bytes);
