// One running saver at a time, on the named mutex "ZelvoraPelkSaver".
#pragma once

// Settings and preview: wait up to 15 s for a running saver, then go on anyway.
void AcquireInstanceMutexShared();
// Every other mode: false means another saver kept the mutex for 15 s and
// this run must end at once.
bool AcquireInstanceMutexExclusive();
// Releases and closes whatever handle the rules above left us holding.
void ReleaseInstanceMutex();
