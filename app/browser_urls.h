// The addresses shown in the open browser windows, in the order the platform lists them.
// Linux keeps no such collection: they come from the browsers' session files instead.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> OpenBrowserAddresses();
