#include "foundation/registry_helpers.h"

#include "foundation/text_number.h"

bool ReadDword(KeyValueKey& key, const std::string& name, uint32_t& out) {
  // Room for a number written as text, which .reg files and "reg add" make.
  uint8_t bytes[32] = {};
  uint32_t type = 0;
  uint32_t size = sizeof bytes - 1;
  if (key.Query(name, type, bytes, size) != Query_Ok) return false;
  if (type == ValueType_Dword && size == 4) {
    out = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
          static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return true;
  }
  if (type != ValueType_String) return false;
  int32_t number = 0;
  if (!ParseWholeDecimal(reinterpret_cast<const char*>(bytes), number)) return false;
  out = static_cast<uint32_t>(number);
  return true;
}

bool ReadString(KeyValueKey& key, const std::string& name, std::string& out) {
  // One byte beyond what the value may fill, so the text is always terminated.
  char buffer[kMaxStringValueBytes + 1] = {};
  uint32_t type = 0;
  uint32_t size = kMaxStringValueBytes;
  if (key.Query(name, type, buffer, size) != Query_Ok) return false;
  out = buffer;
  return true;
}

bool WriteDword(KeyValueKey& key, const std::string& name, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return key.Set(name, ValueType_Dword, bytes, sizeof bytes);
}

bool WriteString(KeyValueKey& key, const std::string& name, const std::string& text) {
  return key.Set(name, ValueType_String, text.data(), static_cast<uint32_t>(text.size()));
}

bool SetStringValue(KeyValueStore& store, Hive hive, const std::string& key,
                    const std::string& name, const std::string& text) {
  auto open = store.OpenForWrite(hive, key);
  return open && WriteString(*open, name, text);
}

bool SetDwordValue(KeyValueStore& store, Hive hive, const std::string& key,
                   const std::string& name, uint32_t value) {
  auto open = store.OpenForWrite(hive, key);
  return open && WriteDword(*open, name, value);
}

bool GetStringValue(KeyValueStore& store, Hive hive, const std::string& key,
                    const std::string& name, std::string& out) {
  auto open = store.OpenForRead(hive, key);
  return open && ReadString(*open, name, out);
}

bool GetDwordValue(KeyValueStore& store, Hive hive, const std::string& key,
                   const std::string& name, uint32_t& out) {
  auto open = store.OpenForRead(hive, key);
  return open && ReadDword(*open, name, out);
}

bool SetBinaryValue(KeyValueStore& store, const std::string& key, const std::string& name,
                    const void* bytes, uint32_t length) {
  auto open = store.OpenForWrite(Hive_LocalMachine, key);
  return open && open->Set(name, ValueType_Binary, bytes, length);
}
