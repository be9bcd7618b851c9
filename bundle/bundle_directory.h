// Parsing a bundle directory held in memory: the records between the
// directory offset and the trailer. Kept apart from file access so that the
// walk over untrusted bytes can be exercised on plain buffers.
//
// Records: '?' name NUL starts a category; any other name NUL, then offset
// and size (u32 little-endian), is a file of the current category. The
// directory must start with a category record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "bundle/bundle.h"

// Adds the directory's categories (each reading through `path`) to
// `bundle`, which is expected to be empty, and counts the file records in
// its `fileCount`. An empty directory, one not starting with '?', or a
// record running past `size` closes the bundle and gives false.
bool ParseBundleDirectory(const uint8_t* directory, size_t size, const std::string& path,
                          VFBUNDLE& bundle);
