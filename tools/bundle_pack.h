// Turns a plan (tools/bundle_manifest.h) into bundle contents: reads every
// source file, makes the "dims" records from the upright decoded size of
// their photographs and the "caps" records from their texts, and checks
// what the reader would trip over later (two entries one lookup cannot tell
// apart, a record for a photograph that is not there).
#pragma once

#include <string>

#include "bundle/bundle_writer.h"
#include "tools/bundle_manifest.h"

bool FillBundle(const BundlePlan& plan, BundleWriter& writer, std::string& error);
