// Picks the decoder from the data's first bytes. Only MPEG audio has no
// fixed signature, so it is tried last.
#include "audio/audio_decoder.h"

#include <utility>

#include "audio/mpeg_decoder.h"
#include "audio/vorbis_decoder.h"
#include "audio/wav_decoder.h"

std::unique_ptr<AudioDecoder> OpenAudioDecoder(AudioBytes data) {
  if (IsWavData(data)) return OpenWavDecoder(std::move(data));
  if (IsOggData(data)) return OpenVorbisDecoder(std::move(data));
  if (IsMpegData(data)) return OpenMpegDecoder(std::move(data));
  return nullptr;
}
