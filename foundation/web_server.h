// The maker's web server: its host comes from the REG_SZ value "WebServer"
// ("host" or "host:port") of the product key, the user's before the
// machine's, so a test can point every page and request at a server of its
// own. The machine's counts only while only administrators can write its
// key. Without the value the built-in host is used.
#pragma once

#include <string>

class KeyValueStore;

extern const char kDefaultWebServer[];

std::string ReadWebServer(KeyValueStore& store);

// "host" or "host:port"; port 80 when it is absent or not a number from 1
// to 65535.
struct WebServerAddress {
  std::string host;
  unsigned short port = 80;
};
WebServerAddress SplitWebServer(const std::string& server);

// True for an address that begins with "http://" or "https://", in any
// case: the only links taken from a server reply that may be opened.
bool IsWebAddress(const std::string& link);

// "http://" + server + path: the address of one page.
std::string WebPageAddress(const std::string& server, const std::string& path);

// The pages the settings dialog links to.
extern const char kHomePagePath[];     // "/"
extern const char kSupportPagePath[];  // "/support/"
// "/specials.htm?appName=Zelvora: Quorrin&version=1.071" (blanks left as they are).
std::string SpecialsPagePath();
