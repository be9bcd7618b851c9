#include "foundation/web_server.h"

#include <cctype>

#include "foundation/key_value_store.h"
#include "foundation/product.h"
#include "foundation/registry_helpers.h"
#include "foundation/saver_settings.h"

// A reserved name: until the maker has a server, nothing is contacted by
// accident.
const char kDefaultWebServer[] = "www.quorrin.example";
const char kHomePagePath[] = "/";
const char kSupportPagePath[] = "/support/";

std::string ReadWebServer(KeyValueStore& store) {
  std::string server;
  if (GetStringValue(store, Hive_CurrentUser, kProductKey, "WebServer", server) && !server.empty())
    return server;
  // The machine's product key is opened to every user for the data-folder
  // record; a value there that any user could have written would send
  // everybody's reports to that user's server.
  if (store.WritableOnlyByAdministrators(Hive_LocalMachine, kProductKey) &&
      GetStringValue(store, Hive_LocalMachine, kProductKey, "WebServer", server) && !server.empty())
    return server;
  return kDefaultWebServer;
}

std::string WebPageAddress(const std::string& server, const std::string& path) {
  return "http://" + server + path;
}

std::string SpecialsPagePath() {
  return std::string("/specials.htm?appName=") + kProductName + "&version=" + kVersionNumber;
}

WebServerAddress SplitWebServer(const std::string& server) {
  WebServerAddress address;
  std::string rest = server;
  // A scheme in front is not part of the host.
  const size_t scheme = rest.find("://");
  if (scheme != std::string::npos) rest = rest.substr(scheme + 3);
  const size_t colon = rest.rfind(':');
  address.host = rest.substr(0, colon);
  if (colon == std::string::npos) return address;
  const std::string digits = rest.substr(colon + 1);
  unsigned long port = 0;
  bool number = !digits.empty() && digits.size() <= 5;
  for (char c : digits) {
    if (c < '0' || c > '9') number = false;
    port = port * 10 + static_cast<unsigned long>(c - '0');
  }
  if (number && port >= 1 && port <= 65535) address.port = static_cast<unsigned short>(port);
  return address;
}

bool IsWebAddress(const std::string& link) {
  for (const char* scheme : {"http://", "https://"}) {
    const std::string prefix(scheme);
    if (link.size() < prefix.size()) continue;
    bool same = true;
    for (size_t i = 0; i < prefix.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(link[i])) != prefix[i]) same = false;
    if (same) return true;
  }
  return false;
}
