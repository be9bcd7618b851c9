// The product's name and version as every window, log line and request
// shows them.
#pragma once

extern const char kProductName[];    // "Zelvora: Quorrin"
extern const char kVersionNumber[];  // "1.071"
// Folders below the user's application-data folder that hold the log, the
// playlist and the crash dump; the error reporter reads them there too.
extern const char kDataFolderTail[];  // "\PelkSoft\Zelvora\"
// In the data folder: the log of the present run, and the log of a run that
// crashed, kept apart for the error reporter so that later runs (a preview
// the system starts is enough) cannot replace it before it is sent.
extern const char kLogFileName[];       // "OrbexLog.txt"
extern const char kCrashLogFileName[];  // "OrbexCrashLog.txt"
