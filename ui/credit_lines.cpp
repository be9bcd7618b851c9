#include "ui/credit_lines.h"

#include "foundation/product.h"

namespace {

struct CreditGroup {
  const char* heading;
  std::vector<const char*> names;  // "~~~" separates names that belong apart
};

const CreditGroup kGroups[] = {
    {"Design and Programming", {"Quorrin Software", "~~~", "the Zelvora team"}},
    {"Skin Artwork", {"Quorrin Software"}},
    {"Photographs",
     {"Keesscherer", "Aldeabaran66", "Adam Block / Steward Observatory", "Harel Boren", "Sun Gang",
      "Dylan O'Donnell", "HG731GZ", "Giuseppe Donatiello", "Rogelio Bernal Andreo", "ESO",
      "Jose A Mtanous", "Starhopper", "~~~", "from Debian's stellarium-data,", "under their own licences"}},
    {"Music", {"Clifford J. Tasner", "from Enigma (enigma-data)", "GNU General Public License 2"}},
    {"Libraries", {"stb_image, stb_vorbis: public domain", "~~~", "libmpg123: LGPL 2.1", "~~~",
                   "libb64: public domain"}},
    {"Built With", {"mingw-w64, Wine and Debian"}},
};

}  // namespace

std::vector<std::string> CreditLines() {
  std::vector<std::string> lines = {kProductName, std::string("Version ") + kVersionNumber, "", ""};
  for (const CreditGroup& group : kGroups) {
    lines.push_back(group.heading);
    for (const char* name : group.names) lines.push_back(name);
    lines.push_back("");
    lines.push_back("");
  }
  lines.push_back("Thank you for watching the skies");
  lines.push_back("with Zelvora");
  lines.push_back("Clear skies!");
  return lines;
}
