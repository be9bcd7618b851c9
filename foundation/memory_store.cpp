#include "foundation/memory_store.h"

#include <cctype>
#include <cstring>

namespace {

std::string Lower(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

class MemoryStore::Key : public KeyValueKey {
 public:
  Key(MemoryStore& store, Hive hive, const std::string& path)
      : store_(store), hive_(hive), path_(path) {}

  QueryStatus Query(const std::string& name, uint32_t& type, void* data,
                    uint32_t& size) override {
    const StoredValue* value = store_.Find(hive_, path_, name);
    store_.accesses_.push_back({StoreAccess::Read, hive_, path_, name, value ? value->type : 0});
    if (value == nullptr) return Query_Missing;
    type = value->type;
    const uint32_t needed = static_cast<uint32_t>(value->bytes.size());
    if (needed > size) {
      size = needed;
      return Query_MoreData;
    }
    if (needed > 0) std::memcpy(data, value->bytes.data(), needed);
    size = needed;
    return Query_Ok;
  }

  bool Set(const std::string& name, uint32_t type, const void* data, uint32_t size) override {
    store_.accesses_.push_back({StoreAccess::Write, hive_, path_, name, type});
    store_.Put(hive_, path_, name, type, data, size);
    return true;
  }

 private:
  MemoryStore& store_;
  Hive hive_;
  std::string path_;
};

MemoryStore::KeyId MemoryStore::MakeId(Hive hive, const std::string& path) {
  return {static_cast<int>(hive), Lower(path)};
}

std::unique_ptr<KeyValueKey> MemoryStore::OpenForRead(Hive hive, const std::string& path) {
  if (!HasKey(hive, path)) return nullptr;
  return std::make_unique<Key>(*this, hive, path);
}

std::unique_ptr<KeyValueKey> MemoryStore::OpenForWrite(Hive hive, const std::string& path) {
  const KeyId id = MakeId(hive, path);
  if (blocked_.count(id) != 0) return nullptr;
  keys_[id];  // opening for write creates the key
  return std::make_unique<Key>(*this, hive, path);
}

void MemoryStore::Put(Hive hive, const std::string& path, const std::string& name, uint32_t type,
                      const void* data, uint32_t size) {
  StoredValue& value = keys_[MakeId(hive, path)][Lower(name)];
  value.name = name;
  value.type = type;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  value.bytes.assign(bytes, bytes + size);
}

const StoredValue* MemoryStore::Find(Hive hive, const std::string& path,
                                     const std::string& name) const {
  const auto key = keys_.find(MakeId(hive, path));
  if (key == keys_.end()) return nullptr;
  const auto value = key->second.find(Lower(name));
  return value == key->second.end() ? nullptr : &value->second;
}

bool MemoryStore::HasKey(Hive hive, const std::string& path) const {
  return keys_.count(MakeId(hive, path)) != 0;
}

bool MemoryStore::WritableOnlyByAdministrators(Hive hive, const std::string& path) {
  return HasKey(hive, path) && everyone_.count(MakeId(hive, path)) == 0;
}

void MemoryStore::OpenToEveryone(Hive hive, const std::string& path) {
  everyone_.insert(MakeId(hive, path));
}

void MemoryStore::BlockWrites(Hive hive, const std::string& path, bool blocked) {
  if (blocked) blocked_.insert(MakeId(hive, path));
  else blocked_.erase(MakeId(hive, path));
}
