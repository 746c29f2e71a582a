// Splits text into the words the search index holds, the way the readers' search looks words
// up: runs of letters, marks, digits and connector punctuation such as '_' (by their Unicode
// classes); an apostrophe between two such characters is dropped and joins them ("don't" is
// "dont", as kchmviewer strips it from what it looks for); a '.' between two digits stays
// ("3.14"). Words come out in lower case, in UTF-8.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace hhc::fts {

// ASCII: 0 for a character that is no part of a word, else its lower case.
inline constexpr std::array<char, 128> kAsciiWordCharacters = [] {
    std::array<char, 128> t{};
    for (char c = '0'; c <= '9'; ++c) {
        t[static_cast<unsigned char>(c)] = c;
    }
    for (char c = 'a'; c <= 'z'; ++c) {
        t[static_cast<unsigned char>(c)] = c;
        t[static_cast<std::size_t>(c - 32)] = c;
    }
    t['_'] = '_';
    return t;
}();

bool IsWordCharacter(char32_t c);
char32_t ToLower(char32_t c);

class WordSink {
public:
    virtual ~WordSink() = default;
    virtual void Word(std::string_view word) = 0;
};

class WordSplitter {
public:
    explicit WordSplitter(WordSink& sink) : sink_(sink) {}

    void Put(char32_t c) {
        if (c < 0x80 && kAsciiWordCharacters[c] != 0 && joiner_ == 0) {
            word_.push_back(kAsciiWordCharacters[c]);
            return;
        }
        PutOther(c);
    }

    // Ends the word in progress: markup stands between it and what follows.
    void Break();

private:
    void PutOther(char32_t c);

    WordSink& sink_;
    std::string word_;
    char32_t joiner_ = 0;  // an apostrophe or '.' after a word, until the next character
};

}  // namespace hhc::fts
