// An in-memory KeyValueStore: the stand-in for the registry where there is
// none, and the store the native tests inspect. Key paths and value names are
// matched without regard to case, as the registry matches them.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "foundation/key_value_store.h"

struct StoredValue {
  std::string name;  // as last written
  uint32_t type = 0;
  std::vector<uint8_t> bytes;
};

// One read or write that went through an open key, in the order made.
struct StoreAccess {
  enum Kind { Read, Write } kind;
  Hive hive;
  std::string path;
  std::string name;  // as the caller spelled it
  uint32_t type;     // written type; for reads the stored type, or 0 when missing
};

class MemoryStore : public KeyValueStore {
 public:
  std::unique_ptr<KeyValueKey> OpenForRead(Hive hive, const std::string& path) override;
  std::unique_ptr<KeyValueKey> OpenForWrite(Hive hive, const std::string& path) override;
  bool WritableOnlyByAdministrators(Hive hive, const std::string& path) override;

  // Test access: put a value directly (creating its key), look one up.
  void Put(Hive hive, const std::string& path, const std::string& name, uint32_t type,
           const void* data, uint32_t size);
  const StoredValue* Find(Hive hive, const std::string& path, const std::string& name) const;
  bool HasKey(Hive hive, const std::string& path) const;

  // Makes OpenForWrite of this key fail, as a key without write access does.
  void BlockWrites(Hive hive, const std::string& path, bool blocked = true);
  // Marks a key as one every user may write (a null access list).
  void OpenToEveryone(Hive hive, const std::string& path);

  const std::vector<StoreAccess>& Accesses() const { return accesses_; }
  void ClearAccesses() { accesses_.clear(); }

 private:
  class Key;
  using Values = std::map<std::string, StoredValue>;  // by lower-case name
  using KeyId = std::pair<int, std::string>;          // hive, lower-case path

  static KeyId MakeId(Hive hive, const std::string& path);

  std::map<KeyId, Values> keys_;
  std::set<KeyId> blocked_;
  std::set<KeyId> everyone_;
  std::vector<StoreAccess> accesses_;
};
