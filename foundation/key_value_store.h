// The platform's key-value store behind the settings: on Windows the
// registry, elsewhere an in-memory stand-in. Only what the settings and their
// helpers need: open a key, read one value, write one value, close.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The two roots the saver uses.
enum Hive {
  Hive_CurrentUser = 0,
  Hive_LocalMachine = 1,
};

// Value types, numbered as the registry numbers them (REG_SZ, REG_BINARY,
// REG_DWORD) so they pass through unchanged.
enum ValueType : uint32_t {
  ValueType_String = 1,
  ValueType_Binary = 3,
  ValueType_Dword = 4,
};

enum QueryStatus {
  Query_Ok,        // the value's bytes were copied
  Query_MoreData,  // the value exists but does not fit; nothing was copied
  Query_Missing,   // no such value, or it could not be read
};

// One open key. Destroying it closes the key.
class KeyValueKey {
 public:
  virtual ~KeyValueKey() = default;

  // Reads value `name` (matched without regard to case). On entry `size` is
  // the capacity of `data`; on Query_Ok it is the number of bytes copied, on
  // Query_MoreData the number of bytes the value holds. `type` receives the
  // value's type on Query_Ok and Query_MoreData.
  virtual QueryStatus Query(const std::string& name, uint32_t& type, void* data,
                            uint32_t& size) = 0;

  // Creates or replaces value `name` with `size` bytes of `data`.
  virtual bool Set(const std::string& name, uint32_t type, const void* data, uint32_t size) = 0;
};

class KeyValueStore {
 public:
  virtual ~KeyValueStore() = default;

  // Opens an existing key for reading; null when it does not exist or
  // cannot be opened.
  virtual std::unique_ptr<KeyValueKey> OpenForRead(Hive hive, const std::string& path) = 0;

  // Opens a key for writing, creating it (and its parents) when missing;
  // null when that fails.
  virtual std::unique_ptr<KeyValueKey> OpenForWrite(Hive hive, const std::string& path) = 0;

  // True when the key exists and only administrators and the system may
  // change its values: what a value read for every user must come from.
  virtual bool WritableOnlyByAdministrators(Hive hive, const std::string& path) = 0;
};
