// Small registry helpers. The store-level ones open the key, do one thing and
// close it; the key-level ones work on a key the caller holds open, for
// readers of many values such as the settings load. All report success only;
// a failure is silent to the user and leaves the caller's value alone.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/key_value_store.h"

// The most a text value may hold to be read; longer ones count as absent.
constexpr uint32_t kMaxStringValueBytes = 1024;

// Reads value `name` as a number: a REG_DWORD of 4 bytes, or a REG_SZ that
// holds a whole decimal number and nothing else. Any other type or size, or
// text that is no such number, reads as absent.
bool ReadDword(KeyValueKey& key, const std::string& name, uint32_t& out);
// Reads up to kMaxStringValueBytes of value `name` as text ending at the
// first NUL; a value that fills the whole buffer without a NUL still reads
// as a terminated text of that length.
bool ReadString(KeyValueKey& key, const std::string& name, std::string& out);
bool WriteDword(KeyValueKey& key, const std::string& name, uint32_t value);
// REG_SZ of the text's length, without a terminating NUL.
bool WriteString(KeyValueKey& key, const std::string& name, const std::string& text);

bool SetStringValue(KeyValueStore& store, Hive hive, const std::string& key,
                    const std::string& name, const std::string& text);
bool SetDwordValue(KeyValueStore& store, Hive hive, const std::string& key,
                   const std::string& name, uint32_t value);
bool GetStringValue(KeyValueStore& store, Hive hive, const std::string& key,
                    const std::string& name, std::string& out);
bool GetDwordValue(KeyValueStore& store, Hive hive, const std::string& key,
                   const std::string& name, uint32_t& out);
// REG_BINARY under the machine hive.
bool SetBinaryValue(KeyValueStore& store, const std::string& key, const std::string& name,
                    const void* bytes, uint32_t length);
