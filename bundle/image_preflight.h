// Checks on an encoded picture that run before stb_image sees it, for faults
// of the stb version we build with: it takes a BMP cut short for a whole one
// (the missing rows read as black) and a PNG cut inside its last chunk for a
// whole one; a JPEG Huffman table listing more than 256 codes makes it write
// past its tables, and a scan using a table never defined makes it read and
// index with uninitialised memory.
#pragma once

#include <cstddef>
#include <cstdint>

// False when the bytes are a BMP whose pixel rows are not all there, a PNG
// whose chunks stop before the end chunk is whole, or a JPEG whose marker
// segments are inconsistent, hold a bad table, use a table not defined
// before, or never reach the end-of-image marker. Other data passes: the
// decoder judges it.
bool EncodedImagePassesPreflight(const uint8_t* data, size_t size);
