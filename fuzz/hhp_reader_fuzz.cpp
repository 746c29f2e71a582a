// The project reader on any bytes: no crash, and what it returns is well formed: file entries
// and window names are single non-empty lines, and the language is never 0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "hhc/hhp/project.h"
#include "hhc/sysfiles/windows_file.h"

namespace {

bool OneLine(std::string_view s) {
    return s.find('\n') == std::string_view::npos && s.find('\r') == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const hhc::hhp::Project project = hhc::hhp::ParseProject(text);
    for (const std::string& file : project.files) {
        if (file.empty() || !OneLine(file)) {
            std::abort();
        }
    }
    for (const hhc::hhp::Window& w : project.windows) {
        if (!OneLine(w.name) || !OneLine(w.caption) || !OneLine(w.defaultTopic)) {
            std::abort();
        }
    }
    if (hhc::hhp::LanguageId(project.language) == 0u) {
        std::abort();
    }
    // The window entries are fixed-size whatever the fields held.
    hhc::sysfiles::StringPool strings;
    if (hhc::sysfiles::WindowsFile(project.windows, strings).size() !=
        8 + 196 * project.windows.size()) {
        std::abort();
    }
    return 0;
}
