// Checks on an encoded picture that run before a decoder sees it. For the
// stb version we build with, which decodes PNG and BMP: it takes a BMP cut
// short for a whole one (the missing rows read as black) and a PNG cut
// inside its last chunk for a whole one. For JPEG, which libjpeg decodes: a
// file whose marker segments are inconsistent, or that never reaches its
// end, is refused before libjpeg allocates for the whole picture (a
// progressive file's coefficients take more than its pixels).
#pragma once

#include <cstddef>
#include <cstdint>

// False when the bytes are a BMP whose pixel rows are not all there, a PNG
// whose chunks stop before the end chunk is whole, or a JPEG whose marker
// segments are inconsistent, hold a bad table, use a table not defined
// before, or never reach the end-of-image marker. Other data passes: the
// decoder judges it.
bool EncodedImagePassesPreflight(const uint8_t* data, size_t size);
