#include "engine/book.h"

#include "engine/text.h"
#include "engine/url.h"

namespace engine {

std::string OriginOf(std::string_view address) {
    const UrlParts parts = SplitUrl(address);
    if (!parts.scheme || !parts.authority) {
        return "";
    }
    return FoldCase(std::string(*parts.scheme) + "://" + std::string(*parts.authority));
}

void Book::Begin(BookPage start) {
    origin_ = OriginOf(start.address);
    const std::string_view path = SplitUrl(start.address).path;
    folder_ = path.substr(0, path.rfind('/') + 1);
    if (folder_.empty()) {
        folder_ = "/";
    }
    const std::string address = start.address;
    Add(address, std::move(start));
}

bool Book::FollowsFrom(std::size_t index) const {
    return pages_[index].depth < options_.follow;
}

bool Book::InScope(std::string_view address) const {
    if (origin_.empty() || OriginOf(address) != origin_) {
        return false;
    }
    std::string_view path = SplitUrl(address).path;
    if (path.empty()) {
        path = "/";
    }
    return options_.wholeSite || path.starts_with(folder_);
}

const BookPage* Book::Find(std::string_view address) const {
    const auto found = indexOf_.find(FoldCase(address));
    return found == indexOf_.end() ? nullptr : &pages_[found->second];
}

bool Book::FirstAsked(std::string_view address) {
    return asked_.insert(FoldCase(address)).second;
}

bool Book::Asked(std::string_view address) const {
    return asked_.contains(FoldCase(address));
}

std::size_t Book::Add(std::string_view asked, BookPage page) {
    const std::size_t index = pages_.size();
    indexOf_.emplace(FoldCase(page.address), index);
    indexOf_.emplace(FoldCase(asked), index);
    asked_.insert(FoldCase(asked));
    pages_.push_back(std::move(page));
    return index;
}

void Book::Alias(std::string_view asked, std::size_t index) {
    indexOf_.emplace(FoldCase(asked), index);
}

int Book::DepthOf(std::string_view asked) const {
    if (const BookPage* page = Find(asked)) {
        return page->depth;
    }
    const auto planned = plannedDepth_.find(FoldCase(asked));
    return planned == plannedDepth_.end() ? -1 : planned->second;
}

void Book::Plan(std::string_view asked, int depth) {
    plannedDepth_.emplace(FoldCase(asked), depth);
}

const RobotsRules* Book::RulesFor(const std::string& origin) const {
    const auto found = robots_.find(origin);
    return found == robots_.end() ? nullptr : &found->second;
}

void Book::SetRules(const std::string& origin, RobotsRules rules) {
    robots_[origin] = std::move(rules);
}

}  // namespace engine
