// The maker's web server: its host comes from the REG_SZ value "WebServer"
// ("host" or "host:port") of the product key, the user's before the
// machine's, so a test can point every page and request at a server of its
// own. Without the value the built-in host is used.
#pragma once

#include <string>

class KeyValueStore;

extern const char kDefaultWebServer[];

std::string ReadWebServer(KeyValueStore& store);

// "http://" + server + path: the address of one page.
std::string WebPageAddress(const std::string& server, const std::string& path);

// The pages the settings dialog links to.
extern const char kHomePagePath[];     // "/"
extern const char kSupportPagePath[];  // "/support/"
// "/specials.htm?appName=Zelvora: Quorrin&version=1.071" (blanks left as they are).
std::string SpecialsPagePath();
