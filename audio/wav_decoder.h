// RIFF WAVE files, read by our own chunk walker: integer PCM of 8 (unsigned),
// 16, 24 or 32 bits and IEEE float of 32 or 64 bits, plain or in the
// WAVE_FORMAT_EXTENSIBLE wrapper, mono or stereo. Compressed formats and
// more than two channels are refused. A "data" chunk that claims more bytes
// than the file holds plays what is there.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/audio_decoder.h"

// "RIFF" <size> "WAVE" at the start.
bool IsWavData(const AudioBytes& data);

// Null when the file is not a WAVE file this reader understands.
std::unique_ptr<AudioDecoder> OpenWavDecoder(AudioBytes data);
