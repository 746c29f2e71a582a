// The addresses shown in the open browser windows, in the order the platform lists them.
// Linux keeps no such collection, so the list is empty there; another platform fills it.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> OpenBrowserAddresses();
