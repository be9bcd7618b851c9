#include "foundation/product.h"

const char kProductName[] = "Zelvora: Quorrin";
const char kVersionNumber[] = "1.071";
const char kDataFolderTail[] = "\\PelkSoft\\Zelvora\\";
const char kLogFileName[] = "OrbexLog.txt";
const char kCrashLogFileName[] = "OrbexCrashLog.txt";
