// The lines the About dialog's credits panel scrolls: the product and its
// version, then groups (a heading and its names, "~~~" between names, two
// blank lines after each group) and a closing block of three lines.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> CreditLines();
