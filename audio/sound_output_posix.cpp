// No sound device natively: the engine's Init fails unless a test hands it
// a device of its own (SoundEngine::SetOutputDevice).
#include "audio/sound_output.h"

std::unique_ptr<SoundOutput> CreateSoundOutput(int) { return nullptr; }
