// The benchmark's stand-in help compiler: writes an empty compiled file beside the project,
// named after it, and nothing else, so the benchmark times only the fetching and rewriting.
// Plain C calls and a static link: its own start-up should cost next to nothing.
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2 || std::strlen(argv[1]) < 4) {
        return 0;
    }
    std::string output(argv[1]);
    output.replace(output.size() - 4, 4, ".chm");
    std::FILE* file = std::fopen(output.c_str(), "wb");
    return file != nullptr && std::fclose(file) == 0 ? 1 : 0;  // 1: written, as hhc.exe says
}
