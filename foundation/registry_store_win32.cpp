#include "foundation/registry_store_win32.h"

#include <windows.h>

namespace {

class RegistryKey : public KeyValueKey {
 public:
  explicit RegistryKey(HKEY key) : key_(key) {}
  ~RegistryKey() override { RegCloseKey(key_); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  QueryStatus Query(const std::string& name, uint32_t& type, void* data,
                    uint32_t& size) override {
    DWORD valueType = 0;
    DWORD bytes = size;
    const LONG result = RegQueryValueExA(key_, name.c_str(), nullptr, &valueType,
                                         static_cast<BYTE*>(data), &bytes);
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) return Query_Missing;
    type = valueType;
    size = bytes;
    return result == ERROR_SUCCESS ? Query_Ok : Query_MoreData;
  }

  bool Set(const std::string& name, uint32_t type, const void* data, uint32_t size) override {
    return RegSetValueExA(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
  }

 private:
  HKEY key_;
};

HKEY Root(Hive hive) {
  return hive == Hive_LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

}  // namespace

std::unique_ptr<KeyValueKey> RegistryStore::OpenForRead(Hive hive, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(Root(hive), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<RegistryKey>(key);
}

std::unique_ptr<KeyValueKey> RegistryStore::OpenForWrite(Hive hive, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(Root(hive), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<RegistryKey>(key);
}
