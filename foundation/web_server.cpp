#include "foundation/web_server.h"

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
  for (Hive hive : {Hive_CurrentUser, Hive_LocalMachine}) {
    if (GetStringValue(store, hive, kProductKey, "WebServer", server) && !server.empty()) return server;
  }
  return kDefaultWebServer;
}

std::string WebPageAddress(const std::string& server, const std::string& path) {
  return "http://" + server + path;
}

std::string SpecialsPagePath() {
  return std::string("/specials.htm?appName=") + kProductName + "&version=" + kVersionNumber;
}
