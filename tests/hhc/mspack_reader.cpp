// In-memory mspack_system: input files are byte spans or real files, output files land in a
// map keyed by the name libmspack opened them with.
#include "tests/hhc/mspack_reader.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include <mspack.h>

// libmspack's raw LZX decoder is not declared in its public header; the archive exports it.
extern "C" {
struct lzxd_stream;
lzxd_stream* lzxd_init(mspack_system* system, mspack_file* input, mspack_file* output,
                       int windowBits, int resetInterval, int inputBufferSize, off_t outputLength,
                       char isDelta);
int lzxd_decompress(lzxd_stream* lzx, off_t outBytes);
void lzxd_free(lzxd_stream* lzx);
}

namespace hhc::testing {

namespace {

struct MemFile {
    std::vector<std::uint8_t> bytes;  // output collected so far
    const std::vector<std::uint8_t>* input = nullptr;
    std::size_t pos = 0;
    std::string name;
    bool writing = false;
};

struct MemSystem : mspack_system {
    std::map<std::string, std::vector<std::uint8_t>> inputs;
    std::map<std::string, std::vector<std::uint8_t>> outputs;
    std::vector<std::string> messages;
};

thread_local MemSystem* gCurrent = nullptr;

mspack_file* Open(mspack_system* self, const char* filename, int mode) {
    auto* sys = static_cast<MemSystem*>(self);
    auto* f = new MemFile;
    f->name = filename;
    if (mode == MSPACK_SYS_OPEN_WRITE) {
        f->writing = true;
        return reinterpret_cast<mspack_file*>(f);
    }
    // libmspack reopens its input for every lookup: read each file from disk once.
    auto it = sys->inputs.find(filename);
    if (it == sys->inputs.end()) {
        std::ifstream in(filename, std::ios::binary);
        if (!in) {
            delete f;
            return nullptr;
        }
        it = sys->inputs
                 .emplace(filename, std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                                              std::istreambuf_iterator<char>()))
                 .first;
    }
    f->input = &it->second;
    return reinterpret_cast<mspack_file*>(f);
}

void Close(mspack_file* file) {
    auto* f = reinterpret_cast<MemFile*>(file);
    if (f->writing && gCurrent != nullptr) {
        gCurrent->outputs[f->name] = std::move(f->bytes);
    }
    delete f;
}

int Read(mspack_file* file, void* buffer, int bytes) {
    auto* f = reinterpret_cast<MemFile*>(file);
    const std::size_t n = std::min(static_cast<std::size_t>(bytes), f->input->size() - f->pos);
    std::memcpy(buffer, f->input->data() + f->pos, n);
    f->pos += n;
    return static_cast<int>(n);
}

int Write(mspack_file* file, void* buffer, int bytes) {
    auto* f = reinterpret_cast<MemFile*>(file);
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    f->bytes.insert(f->bytes.end(), p, p + bytes);
    return bytes;
}

int Seek(mspack_file* file, off_t offset, int mode) {
    auto* f = reinterpret_cast<MemFile*>(file);
    const std::size_t size = f->writing ? f->bytes.size() : f->input->size();
    const off_t base = mode == MSPACK_SYS_SEEK_START ? 0
                       : mode == MSPACK_SYS_SEEK_CUR ? static_cast<off_t>(f->pos)
                                                     : static_cast<off_t>(size);
    const off_t to = base + offset;
    if (to < 0 || to > static_cast<off_t>(size)) {
        return 1;
    }
    f->pos = static_cast<std::size_t>(to);
    return 0;
}

off_t Tell(mspack_file* file) {
    return static_cast<off_t>(reinterpret_cast<MemFile*>(file)->pos);
}

void Message(mspack_file*, const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (gCurrent != nullptr) {
        gCurrent->messages.emplace_back(text);
    }
}

void* Alloc(mspack_system*, std::size_t bytes) {
    return std::malloc(bytes);
}

void Free(void* p) {
    std::free(p);
}

void Copy(void* src, void* dest, std::size_t bytes) {
    std::memmove(dest, src, bytes);
}

class SystemScope {
public:
    SystemScope() {
        sys.open = Open;
        sys.close = Close;
        sys.read = Read;
        sys.write = Write;
        sys.seek = Seek;
        sys.tell = Tell;
        sys.message = Message;
        sys.alloc = Alloc;
        sys.free = Free;
        sys.copy = Copy;
        sys.null_ptr = nullptr;
        gCurrent = &sys;
    }

    ~SystemScope() { gCurrent = nullptr; }

    SystemScope(const SystemScope&) = delete;
    SystemScope& operator=(const SystemScope&) = delete;

    MemSystem sys;
};

}  // namespace

LzxDecoded MspackLzxDecode(std::span<const std::uint8_t> compressed, std::size_t outputLength) {
    SystemScope scope;
    // The decoder looks up to two words ahead while decoding the last symbols; in a CHM file
    // other bytes follow, here zeros stand in for them.
    std::vector<std::uint8_t>& input = scope.sys.inputs["in"];
    input.assign(compressed.begin(), compressed.end());
    input.resize(input.size() + 4, 0);
    mspack_file* in = scope.sys.open(&scope.sys, "in", MSPACK_SYS_OPEN_READ);
    mspack_file* out = scope.sys.open(&scope.sys, "out", MSPACK_SYS_OPEN_WRITE);
    LzxDecoded result;
    // Reset interval in frames: two 32 KiB frames.
    lzxd_stream* lzx =
        lzxd_init(&scope.sys, in, out, 16, 2, 4096, static_cast<off_t>(outputLength), 0);
    if (lzx != nullptr) {
        const int error = lzxd_decompress(lzx, static_cast<off_t>(outputLength));
        result.ok = error == MSPACK_ERR_OK;
        if (!result.ok) {
            result.messages.push_back("lzxd error " + std::to_string(error));
        }
        lzxd_free(lzx);
    }
    scope.sys.close(in);
    scope.sys.close(out);
    result.data = std::move(scope.sys.outputs["out"]);
    result.messages.insert(result.messages.end(), scope.sys.messages.begin(),
                           scope.sys.messages.end());
    return result;
}

ChmRead MspackReadChm(const std::string& path) {
    SystemScope scope;
    ChmRead result;
    mschm_decompressor* chmd = mspack_create_chm_decompressor(&scope.sys);
    if (chmd == nullptr) {
        return result;
    }
    if (mschmd_header* chm = chmd->open(chmd, path.c_str()); chm != nullptr) {
        result.opened = true;
        int n = 0;
        for (mschmd_file* f = chm->files; f != nullptr; f = f->next) {
            result.names.emplace_back(f->filename);
            const std::string out = "out" + std::to_string(n++);
            if (chmd->extract(chmd, f, out.c_str()) == MSPACK_ERR_OK) {
                result.files[f->filename] = std::move(scope.sys.outputs[out]);
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
    result.messages = std::move(scope.sys.messages);
    return result;
}

}  // namespace hhc::testing
