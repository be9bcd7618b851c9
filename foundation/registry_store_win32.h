// The KeyValueStore over the Windows registry. Every key object owns one open
// registry key and closes it when destroyed, so callers open a key, do one
// thing and let it go.
#pragma once

#include "foundation/key_value_store.h"

class RegistryStore : public KeyValueStore {
 public:
  std::unique_ptr<KeyValueKey> OpenForRead(Hive hive, const std::string& path) override;
  std::unique_ptr<KeyValueKey> OpenForWrite(Hive hive, const std::string& path) override;
  bool WritableOnlyByAdministrators(Hive hive, const std::string& path) override;
};
