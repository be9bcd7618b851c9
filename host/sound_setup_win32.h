// What the saver run asks of the music: start it after the graphics device
// is up, stop it on the way out, and the four arrow-key operations.
#pragma once

bool initSound();
void ShutdownSound();
void MusicNextTrack();
void MusicPreviousTrack();
void MusicPlayCurrent();
void MusicTogglePause();
