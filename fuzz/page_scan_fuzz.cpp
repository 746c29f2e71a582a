// The page scanners on any bytes: the title and the encoding found must not depend on how the
// page is cut into pieces (the first byte picks the piece size), the raw title keeps its cap,
// and decoding the references of well-formed UTF-8 into UTF-8 keeps it well-formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "common/html/charset.h"
#include "common/html/entities.h"
#include "common/html/title.h"

namespace {

bool WellFormedUtf8(std::string_view text) {
    common::html::Utf8Decoder decoder;
    for (const char c : text) {
        const auto step = decoder.Feed(static_cast<std::uint8_t>(c));
        if (step == common::html::Utf8Decoder::Step::kInvalid ||
            step == common::html::Utf8Decoder::Step::kBroken) {
            return false;
        }
    }
    return !decoder.Pending();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::size_t piece = 1 + data[0] % 64;
    const std::string_view page(reinterpret_cast<const char*>(data + 1), size - 1);

    common::html::TitleFinder whole, cut;
    common::html::CharsetSniffer wholeCharset, cutCharset;
    whole.Feed(page);
    wholeCharset.Feed(page);
    for (std::size_t at = 0; at < page.size(); at += piece) {
        cut.Feed(page.substr(at, piece));
        cutCharset.Feed(page.substr(at, piece));
    }
    if (whole.RawTitle() != cut.RawTitle() || wholeCharset.Result() != cutCharset.Result()) {
        std::abort();
    }
    const std::optional<std::string> raw = whole.RawTitle();
    if (raw && raw->size() > common::html::TitleFinder::kMaxRawTitle) {
        std::abort();
    }
    // Text that is well-formed UTF-8 stays so when its references are decoded into UTF-8.
    if (WellFormedUtf8(page) &&
        !WellFormedUtf8(common::html::DecodeEntities(page, common::html::Encoding::kUtf8))) {
        std::abort();
    }
    return 0;
}
