#include "foundation/registry_store_win32.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

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

// Who may change a machine-wide value: the administrators, the system and
// the installer service.
bool IsAdministration(PSID sid) {
  static const char* const kTrusted[] = {"S-1-5-32-544", "S-1-5-18",
                                         "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"};
  for (const char* text : kTrusted) {
    PSID trusted = nullptr;
    if (!ConvertStringSidToSidA(text, &trusted)) continue;
    const bool same = EqualSid(sid, trusted) != FALSE;
    LocalFree(trusted);
    if (same) return true;
  }
  return false;
}

// True when no entry of the access list lets anyone else change the key.
bool OnlyAdministrationWrites(const ACL* acl) {
  const DWORD kChanges = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | WRITE_DAC | WRITE_OWNER | DELETE |
                         GENERIC_WRITE | GENERIC_ALL;
  if (acl == nullptr) return false;  // a null list grants everything to everyone
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* entry = nullptr;
    if (!GetAce(const_cast<ACL*>(acl), i, &entry)) return false;
    const ACE_HEADER* header = static_cast<const ACE_HEADER*>(entry);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE) != 0) continue;
    const ACCESS_ALLOWED_ACE* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
    if ((allowed->Mask & kChanges) == 0) continue;
    if (!IsAdministration(const_cast<DWORD*>(&allowed->SidStart))) return false;
  }
  return true;
}

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

bool RegistryStore::WritableOnlyByAdministrators(Hive hive, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(Root(hive), path.c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS) return false;
  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const bool read = GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl,
                                    nullptr, &descriptor) == ERROR_SUCCESS;
  const bool onlyAdministration = read && OnlyAdministrationWrites(acl);
  if (descriptor != nullptr) LocalFree(descriptor);
  RegCloseKey(key);
  return onlyAdministration;
}
