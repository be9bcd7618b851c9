// Ogg Vorbis through stb_vorbis, decoding from the bytes in memory. Streams
// of more than two channels are mixed down to stereo by stb_vorbis.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/audio_decoder.h"

// "OggS", the capture pattern of the first page.
bool IsOggData(const AudioBytes& data);

// Null when the data holds no Vorbis stream stb_vorbis can open.
std::unique_ptr<AudioDecoder> OpenVorbisDecoder(AudioBytes data);
