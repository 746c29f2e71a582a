#include "hhc/sysfiles/string_pool.h"

namespace hhc::sysfiles {

namespace {

constexpr std::size_t kBlock = 4096;

}  // namespace

StringPool::StringPool() : bytes_(1, 0) {
    offsets_.emplace("", 0);
}

std::uint32_t StringPool::Add(std::string_view text) {
    if (const auto it = offsets_.find(text); it != offsets_.end()) {
        return it->second;
    }
    const std::size_t need = text.size() + 1;
    const std::size_t used = bytes_.size() % kBlock;
    if (need <= kBlock && used + need > kBlock) {
        bytes_.resize(bytes_.size() + (kBlock - used), 0);
    }
    const auto offset = static_cast<std::uint32_t>(bytes_.size());
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
    offsets_.emplace(std::string(text), offset);
    return offset;
}

}  // namespace hhc::sysfiles
