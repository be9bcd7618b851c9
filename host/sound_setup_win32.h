// What the saver run asks of the music: start it after the graphics device
// is up, stop it on the way out, and the four arrow-key operations.
#pragma once

bool initSound();
void ShutdownSound();
// Logs the track that started since the last call (names are UTF-8); the
// engine's thread starts tracks too, and only this thread writes the log.
void LogStartedTrack();
void MusicNextTrack();
void MusicPreviousTrack();
void MusicPlayCurrent();
void MusicTogglePause();
