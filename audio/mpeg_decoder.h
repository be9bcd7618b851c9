// MPEG audio layers 1, 2 and 3 through libmpg123's feed interface: the
// bytes in memory are handed over a piece at a time as the decoder asks for
// them, and it always delivers signed 16-bit samples.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/audio_decoder.h"

// An ID3v2 tag ("ID3") or an MPEG audio frame header at the start.
bool IsMpegData(const AudioBytes& data);

// Null when libmpg123 finds no playable frame in the data.
std::unique_ptr<AudioDecoder> OpenMpegDecoder(AudioBytes data);
