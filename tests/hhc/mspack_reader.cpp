// libmspack's own file functions, opening files in memory by their /proc/self/fd names; only
// its messages are caught instead of printed.
#include "tests/hhc/mspack_reader.h"

#include <cstdarg>
#include <cstdio>

#include <mspack.h>

#include "tests/support/memory_file.h"

// Not declared in mspack.h; the static archive exports them.
extern "C" {
extern mspack_system* mspack_default_system;
struct lzxd_stream;
lzxd_stream* lzxd_init(mspack_system* system, mspack_file* input, mspack_file* output,
                       int windowBits, int resetInterval, int inputBufferSize, off_t outputLength,
                       char isDelta);
int lzxd_decompress(lzxd_stream* lzx, off_t outBytes);
void lzxd_free(lzxd_stream* lzx);
}

namespace hhc::testing {

namespace {

using support::MemoryFile;

thread_local std::vector<std::string>* gMessages = nullptr;

void Collect(mspack_file*, const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    gMessages->emplace_back(text);
}

// The default system, with messages going to `messages` while it lives.
class System : public mspack_system {
public:
    explicit System(std::vector<std::string>& messages) : mspack_system(*mspack_default_system) {
        message = Collect;
        gMessages = &messages;
    }

    ~System() { gMessages = nullptr; }

    System(const System&) = delete;
    System& operator=(const System&) = delete;
};

}  // namespace

LzxDecoded MspackLzxDecode(std::span<const std::uint8_t> compressed, std::size_t outputLength) {
    LzxDecoded result;
    System system(result.messages);
    // The decoder looks up to two words ahead while decoding the last symbols; in a CHM file
    // other bytes follow, here zeros stand in for them.
    MemoryFile input, output;
    std::vector<std::uint8_t> padded(compressed.begin(), compressed.end());
    padded.resize(padded.size() + 4, 0);
    input.Fill(padded);
    mspack_file* in = system.open(&system, input.Name().c_str(), MSPACK_SYS_OPEN_READ);
    mspack_file* out = system.open(&system, output.Name().c_str(), MSPACK_SYS_OPEN_WRITE);
    // Reset interval in frames: two 32 KiB frames.
    if (lzxd_stream* lzx =
            lzxd_init(&system, in, out, 16, 2, 4096, static_cast<off_t>(outputLength), 0)) {
        const int error = lzxd_decompress(lzx, static_cast<off_t>(outputLength));
        result.ok = error == MSPACK_ERR_OK;
        if (!result.ok) {
            result.messages.push_back("lzxd error " + std::to_string(error));
        }
        lzxd_free(lzx);
    }
    system.close(in);
    system.close(out);
    result.data = output.Contents();
    return result;
}

ChmRead MspackReadChm(const std::string& path) {
    ChmRead result;
    System system(result.messages);
    mschm_decompressor* chmd = mspack_create_chm_decompressor(&system);
    if (mschmd_header* chm = chmd->open(chmd, path.c_str()); chm != nullptr) {
        result.opened = true;
        for (mschmd_file* f = chm->files; f != nullptr; f = f->next) {
            result.names.emplace_back(f->filename);
            const MemoryFile out;
            if (chmd->extract(chmd, f, out.Name().c_str()) == MSPACK_ERR_OK) {
                result.files[f->filename] = out.Contents();
            }
        }
        chmd->close(chmd, chm);
    }
    if (mschmd_header* chm = chmd->fast_open(chmd, path.c_str()); chm != nullptr) {
        for (const std::string& name : result.names) {
            mschmd_file found{};
            if (chmd->fast_find(chmd, chm, name.c_str(), &found, sizeof found) != MSPACK_ERR_OK ||
                found.section == nullptr) {
                result.lookupFailures.push_back(name);
            }
        }
        chmd->close(chmd, chm);
    }
    mspack_destroy_chm_decompressor(chmd);
    return result;
}

}  // namespace hhc::testing
