// What the compiler tells its user: warnings and notes on the warning stream, a line per stored
// file on the progress stream when the project asks for one, and all of it, the final error
// included, in the project's error log file when it names one. Project text in them shows its
// control characters visibly.
#pragma once

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string_view>

namespace hhc {

class Messages {
public:
    explicit Messages(std::ostream& warnings) : warnings_(warnings) {}

    // Warns, and goes on without a log, when the file cannot be written.
    void OpenLog(const std::filesystem::path& path);

    // nullptr: no per-file lines.
    void SetProgress(std::ostream* progress) { progress_ = progress; }

    void Warning(std::string_view text);
    void Note(std::string_view text);
    void Progress(std::string_view storedName);
    // Only logged: main prints the error that ends a compile.
    void Error(std::string_view text);

private:
    void Say(std::ostream& out, std::string_view kind, std::string_view text);

    std::ostream& warnings_;
    std::ostream* progress_ = nullptr;
    std::ofstream log_;
};

}  // namespace hhc
