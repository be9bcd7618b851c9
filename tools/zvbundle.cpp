// zvbundle: packs, lists, extracts and appends bundles (tools/zvbundle_cli.h).
#include <iostream>
#include <string>
#include <vector>

#include "tools/zvbundle_cli.h"

int main(int argc, char** argv) {
  return RunZvbundle(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
