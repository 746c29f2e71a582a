#include "convert/console.h"

#include <iostream>

#include <unistd.h>

Console::Console(engine::LinkMode mode) : mode_(mode), terminal_(::isatty(STDERR_FILENO) == 1) {}

void Console::ShowMessage(std::string_view text) {
    EndProgress();
    std::cerr << text << '\n';
}

void Console::ShowPages(std::size_t done, std::size_t known) {
    pages_ = {done, known};
    ShowProgress(fetched_);
}

void Console::ShowProgress(const platform::FetchProgress& progress) {
    fetched_ = progress;
    std::string line = platform::ProgressText(progress, pages_);
    if (!terminal_ || line == shown_) {
        return;
    }
    const std::size_t width = std::max(line.size(), shown_.size());
    shown_ = line;
    line.resize(width, ' ');  // covers a longer line before it
    std::cerr << '\r' << line << std::flush;
}

void Console::EndProgress() {
    if (!shown_.empty()) {
        std::cerr << '\n';
        shown_.clear();
    }
}
