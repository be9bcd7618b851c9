// Test helper: gives a machine key a null access list, so that every user
// may write it, as earlier versions of the saver left the product key.
// Argument: the key's path under HKEY_LOCAL_MACHINE. Exit code 0 on success.
#include <windows.h>
#include <aclapi.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, __argv[1], 0, WRITE_DAC, &key) != ERROR_SUCCESS) return 1;
  const DWORD result = SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                       nullptr, nullptr);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? 0 : 1;
}
