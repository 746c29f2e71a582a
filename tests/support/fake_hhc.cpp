// A stand-in help compiler for the run's tests. Called as `hhc.exe PROJECT.hhp`, it appends
// its arguments to "calls.txt" beside itself and writes PROJECT.chm beside the project: the
// project text, the contents and index files it names and every file of its [FILES] section
// that exists, each as a name line, a size line and the bytes (see stand_in_chm.h). A file that is
// missing is passed over. It exits 1 when it wrote the file, as the real one does. FAKE_HHC_FAULT
// makes it misbehave instead: "status0" writes the file but exits 0, "nochm" writes nothing,
// "crash" writes junk and dies by a signal, "hang" never ends.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

namespace {

std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Append(std::string& archive, const std::string& name, const std::string& bytes) {
    archive += name + "\n" + std::to_string(bytes.size()) + "\n" + bytes;
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path self = std::filesystem::absolute(argv[0]);
    std::ofstream calls(self.parent_path() / "calls.txt", std::ios::app);
    for (int i = 0; i < argc; ++i) {
        calls << argv[i] << (i + 1 < argc ? "\t" : "\n");
    }
    if (argc != 2) {
        return 0;
    }
    const char* fault = std::getenv("FAKE_HHC_FAULT");
    const std::string_view misbehave = fault == nullptr ? "" : fault;
    if (misbehave == "hang") {
        std::this_thread::sleep_for(std::chrono::seconds(60));
    }
    if (misbehave == "nochm") {
        return 1;
    }
    const std::filesystem::path project(argv[1]);
    const std::string text = Read(project);
    std::string archive;
    Append(archive, project.filename().string(), text);

    std::istringstream lines(text);
    bool inFiles = false;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        for (const std::string_view option : {"Contents file=", "Index file="}) {
            if (line.starts_with(option)) {
                line.erase(0, option.size());
                Append(archive, line, Read(project.parent_path() / line));
            }
        }
        if (line.starts_with("[")) {
            inFiles = line == "[FILES]";
        } else if (inFiles && !line.empty()) {
            const std::filesystem::path file = project.parent_path() / line;
            if (std::filesystem::is_regular_file(file)) {
                Append(archive, line, Read(file));
            }
        }
    }
    std::filesystem::path output = project;
    if (misbehave == "crash") {
        std::ofstream(output.replace_extension(".chm"), std::ios::binary) << "junk";
        std::signal(SIGSEGV, SIG_DFL);  // a sanitizer's handler would turn it into an exit
        std::raise(SIGSEGV);
    }
    std::ofstream(output.replace_extension(".chm"), std::ios::binary) << archive;
    return misbehave == "status0" ? 0 : 1;
}
