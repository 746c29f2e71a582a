#include "app/browser_urls.h"

#include "platform/browser_sessions/open_pages.h"

std::vector<std::string> OpenBrowserAddresses() {
    return platform::browser_sessions::OpenPageAddresses();
}
