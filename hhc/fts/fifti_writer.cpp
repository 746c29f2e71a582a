// $FIftiMain layout. The header's fields that no reader uses are written as the unofficial format
// documentation describes them where it knows their meaning, else 0.
#include "hhc/fts/fifti_writer.h"

#include <algorithm>
#include <cassert>

namespace hhc::fts {

namespace {

constexpr std::size_t kLeafHeader = 8;
constexpr std::size_t kIndexHeader = 2;
constexpr std::uint8_t kScale = 2;

void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint64_t v) {
    for (std::size_t i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint64_t v) {
    out.resize(out.size() + 4);
    PutU32(out, out.size() - 4, v);
}

void AppendGroups(std::vector<std::uint8_t>& out, std::uint64_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(v));
}

// The word as stored after `previous` in the same node: length of the rest + 1, the number of
// shared leading bytes, the rest.
void AppendWord(std::vector<std::uint8_t>& out, std::string_view word, std::string_view previous) {
    const std::size_t limit = std::min(word.size(), previous.size());
    std::size_t shared = 0;
    while (shared < limit && word[shared] == previous[shared]) {
        ++shared;
    }
    out.push_back(static_cast<std::uint8_t>(word.size() - shared + 1));
    out.push_back(static_cast<std::uint8_t>(shared));
    out.insert(out.end(), word.begin() + static_cast<std::ptrdiff_t>(shared), word.end());
}

// A leaf's entries for one word's lists, the codes taken to start at `codesAt`.
std::vector<std::uint8_t> LeafEntries(std::string_view word, std::string_view previous,
                                      std::span<const WordList> lists, std::size_t codesAt) {
    std::vector<std::uint8_t> entries;
    for (const WordList& list : lists) {
        AppendWord(entries, word, previous);
        previous = word;
        entries.push_back(list.title ? 1 : 0);
        AppendGroups(entries, list.topics);
        AppendU32(entries, codesAt);
        entries.push_back(0);
        entries.push_back(0);
        AppendGroups(entries, list.codes.size());
        codesAt += list.codes.size();
    }
    return entries;
}

}  // namespace

FiftiWriter::FiftiWriter() : out_(kHeaderSize, 0) {
    leaf_.bytes.assign(kLeafHeader, 0);
}

void FiftiWriter::AddWord(std::string_view word, std::span<const WordList> lists) {
    assert(word.size() <= kMaxWordLength && !lists.empty());
    std::vector<std::uint8_t> entries = LeafEntries(word, leaf_.lastWord, lists, out_.size());
    if (leaf_.bytes.size() + entries.size() > kNodeSize) {
        FlushLeaf();
        entries = LeafEntries(word, "", lists, out_.size());
    }
    for (const WordList& list : lists) {
        out_.insert(out_.end(), list.codes.begin(), list.codes.end());
    }
    leaf_.bytes.insert(leaf_.bytes.end(), entries.begin(), entries.end());
    leaf_.lastWord = word;
}

void FiftiWriter::FlushLeaf() {
    const std::size_t at = out_.size();
    if (!leaves_.empty()) {
        PutU32(out_, leaves_.back().offset, at);
    }
    PutU16(leaf_.bytes, 6, static_cast<std::uint32_t>(kNodeSize - leaf_.bytes.size()));
    leaf_.bytes.resize(kNodeSize, 0);
    out_.insert(out_.end(), leaf_.bytes.begin(), leaf_.bytes.end());
    leaves_.push_back(Child{leaf_.lastWord, static_cast<std::uint32_t>(at)});
    leaf_.bytes.assign(kLeafHeader, 0);
    leaf_.lastWord.clear();
}

std::vector<FiftiWriter::Child> FiftiWriter::WriteIndexLevel(const std::vector<Child>& children) {
    std::vector<Child> nodes;
    Node node;
    const auto flush = [&] {
        PutU16(node.bytes, 0, static_cast<std::uint32_t>(kNodeSize - node.bytes.size()));
        node.bytes.resize(kNodeSize, 0);
        nodes.push_back(Child{node.lastWord, static_cast<std::uint32_t>(out_.size())});
        out_.insert(out_.end(), node.bytes.begin(), node.bytes.end());
    };
    for (const Child& child : children) {
        std::vector<std::uint8_t> entry;
        AppendWord(entry, child.lastWord, node.bytes.empty() ? "" : node.lastWord);
        if (!node.bytes.empty() && node.bytes.size() + entry.size() + 6 > kNodeSize) {
            flush();
            node = Node{};
            entry.clear();
            AppendWord(entry, child.lastWord, "");
        }
        if (node.bytes.empty()) {
            node.bytes.assign(kIndexHeader, 0);
        }
        node.bytes.insert(node.bytes.end(), entry.begin(), entry.end());
        AppendU32(node.bytes, child.offset);
        node.bytes.push_back(0);
        node.bytes.push_back(0);
        node.lastWord = child.lastWord;
    }
    flush();
    return nodes;
}

void FiftiWriter::WriteHeader(const IndexFacts& facts, std::uint32_t root, std::uint16_t depth) {
    std::vector<std::uint8_t>& h = out_;
    h[2] = 0x28;  // signature 00 00 28 00
    PutU32(h, 0x04, facts.topics);
    PutU32(h, 0x08, root);
    PutU32(h, 0x10, leaves_.size());
    PutU32(h, 0x14, root);
    PutU16(h, 0x18, depth);
    PutU32(h, 0x1A, 7);
    const unsigned roots[] = {facts.roots.topic, facts.roots.count, facts.roots.location};
    for (std::size_t i = 0; i < 3; ++i) {
        h[0x1E + 2 * i] = kScale;
        h[0x1F + 2 * i] = static_cast<std::uint8_t>(roots[i]);
    }
    PutU32(h, 0x2E, kNodeSize);
    PutU32(h, 0x3E, facts.stats.longest);
    PutU32(h, 0x42, facts.stats.occurrences);
    PutU32(h, 0x46, facts.stats.unique);
    PutU32(h, 0x4A, facts.stats.totalLength);
    PutU32(h, 0x4E, facts.stats.totalLength >> 32);
    PutU32(h, 0x52, facts.stats.uniqueLength);
    PutU32(h, 0x5E, facts.topics == 0 ? 0 : facts.topics - 1);
    PutU32(h, 0x7A, facts.codePage);
    PutU32(h, 0x7E, facts.lcid);
}

std::vector<std::uint8_t> FiftiWriter::Finish(const IndexFacts& facts) {
    if (leaf_.bytes.size() > kLeafHeader || leaves_.empty()) {
        FlushLeaf();
    }
    std::vector<Child> level = leaves_;
    std::uint16_t depth = 1;
    while (level.size() > 1) {
        level = WriteIndexLevel(level);
        ++depth;
    }
    WriteHeader(facts, level.front().offset, depth);
    return std::move(out_);
}

}  // namespace hhc::fts
