// The product's name and version as every window, log line and request
// shows them.
#pragma once

extern const char kProductName[];    // "Zelvora: Quorrin"
extern const char kVersionNumber[];  // "1.071"
