// The tag scanner on any bytes, in every link mode and both capture modes (so style sheets and
// srcset values too), with nested scans: no crash, no hang, and
// bytes outside tags untouched (a page without "<" comes back as it went in).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/tag_scanner.h"
#include "tests/support/fake_ports.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    support::FakeHost host;
    host.mode = static_cast<engine::LinkMode>(data[0] % 3);
    const std::string page(reinterpret_cast<const char*>(data + 1), size - 1);

    // Every frame or script the page names is this page again, scanned nested once per
    // address, so nesting and cycles are exercised too.
    support::RecordingSaver saver(host);
    saver.capture = data[0] / 3 % 2 == 0 ? engine::Capture::Classic : engine::Capture::Complete;
    std::string text = page;
    saver.pages["http://host/dir/f.htm"] = page;
    engine::IterateTags(text,
                        engine::Document{"http://host/dir/page.htm", "chmindex.htm", saver.capture},
                        host, saver);

    if (page.find('<') == std::string::npos && text != page) {
        std::abort();
    }
    return 0;
}
