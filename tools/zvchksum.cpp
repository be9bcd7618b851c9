// zvchksum: writes the installation's chk.sum from the final files.
//   zvchksum <chk.sum> <images.bdl> <Windows-folder copy of the .scr> <ZelvoraPelk.scr> <ZelvoraPelk.exe>
#include <iostream>
#include <string>

#include "tools/check_sum_file.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::cerr << "usage: zvchksum <chk.sum> <images.bdl> <installed .scr> <ZelvoraPelk.scr> <ZelvoraPelk.exe>\n";
    return 2;
  }
  std::string error;
  if (!WriteCheckSumFile(argv[1], {argv[2], argv[3], argv[4], argv[5]}, error)) {
    std::cerr << "zvchksum: " << error << "\n";
    return 1;
  }
  return 0;
}
