// Every line goes to the log as it is said, so a log shows how far a compile that failed got.
#include "hhc/messages.h"

#include "common/visible_text.h"

namespace hhc {

void Messages::OpenLog(const std::filesystem::path& path) {
    log_.open(path, std::ios::binary | std::ios::trunc);
    if (!log_) {
        Warning("cannot write the error log file " + path.string());
    }
}

void Messages::Say(std::ostream& out, std::string_view kind, std::string_view text) {
    const std::string shown = common::VisibleText(text);
    out << "hhc.exe: " << kind << shown << '\n';
    if (log_.is_open()) {
        log_ << "hhc.exe: " << kind << shown << '\n' << std::flush;
    }
}

void Messages::Warning(std::string_view text) {
    Say(warnings_, "warning: ", text);
}

void Messages::Note(std::string_view text) {
    Say(warnings_, "note: ", text);
}

void Messages::Progress(std::string_view storedName) {
    if (progress_ != nullptr) {
        Say(*progress_, "compiling ", storedName);
    }
}

void Messages::Error(std::string_view text) {
    if (log_.is_open()) {
        log_ << "hhc.exe: " << common::VisibleText(text) << '\n' << std::flush;
    }
}

}  // namespace hhc
