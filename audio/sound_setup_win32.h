// What the saver run asks of the music: start it, stop it, and the four
// arrow-key operations. The music player behind them comes later; until
// then the saver runs silent and the keys do nothing.
#pragma once

bool initSound();
void ShutdownSound();
void MusicNextTrack();
void MusicPreviousTrack();
void MusicPlayCurrent();
void MusicTogglePause();
