// What the engine asks of the world around it: the windows answer the host calls, the
// platform layer fetches, starts the compiler and handles files. Tests hand in fakes or the
// real platform parts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_guard.h"

namespace engine {

// The option buttons' order: index 0, 1, 2.
enum class LinkMode { Absolute = 0, External = 1, Null = 2 };

class MessageSink {
public:
    virtual ~MessageSink() = default;

    // Shows the text to the user and returns once it was seen.
    virtual void ShowMessage(std::string_view text) = 0;
};

class Host : public MessageSink {
public:
    // The mode chosen now; asked again for every link tag, never remembered.
    virtual LinkMode CurrentLinkMode() const = 0;

    // When links are followed: how many pages are rewritten, and how many are known so far.
    virtual void ShowPages(std::size_t /*done*/, std::size_t /*known*/) {}
};

class ResourceSaver {
public:
    virtual ~ResourceSaver() = default;

    // Stores the resource at the absolute address `Url` in the working folder and returns its
    // local file name, or "" when nothing was stored. May scan a fetched page in turn.
    virtual std::string SaveFile(const std::string& Url) = 0;
};

// What one fetch delivered: nothing (size 0), the bytes in memory, or a file that the body was
// written to as it arrived.
struct Body {
    std::string bytes;       // in memory; "" when in a file
    std::string file;        // the file's full path; "" when in memory
    std::uint64_t size = 0;  // 0 when nothing was delivered

    bool InFile() const { return !file.empty(); }
};

// Why a fetch delivered nothing, in two lengths.
struct FetchFailure {
    std::string kind;   // what a summary counts: "answered 404", "timed out", "TLS failed"
    std::string cause;  // one line: "HTTP 404 Not Found", "connection refused: 127.0.0.1 port 1"
};

// The kind of failure of an address that is neither http(s) nor data: (a local path).
inline constexpr std::string_view kNotAWebAddress = "not a web address";

// Plays the Internet transfer control `Net`.
class Fetcher {
public:
    virtual ~Fetcher() = default;

    // The body of `url`; nothing for a failed transfer, a final status of 400 or more, or an
    // address that is not a web address. Where it goes is the sorter's choice (SortBodies).
    virtual Body OpenURL(const std::string& url) = 0;

    // Which bodies are held in memory: those `inMemory` accepts, by the address asked for and
    // the final response's headers; each no larger than the page limit. Every other body is
    // written to a new file in `folder` as it arrives, so that its size never weighs on
    // memory. Until this is called every body is held in memory. What was fetched ahead for an
    // earlier run is dropped.
    using Sorter = std::function<bool(std::string_view url, std::string_view headers)>;
    virtual void SortBodies(std::string folder, Sorter inMemory) = 0;

    // The header lines of the last response, each ended by CR LF.
    virtual std::string GetHeader() const = 0;

    // The address of the last response, after redirects.
    virtual std::string FinalUrl() const = 0;

    // Why the last fetch delivered nothing; empty when it delivered a body.
    virtual FetchFailure LastFailure() const = 0;

    // From now on, every transfer is abandoned (nothing delivered) once `stop` says so.
    virtual void StopWhen(StopSignal stop) = 0;

    // What a fetched document will ask for next (see prefetch_plan.h), for a fetcher that gets
    // addresses ahead of the run; one that fetches only what is asked ignores it. `asked` is
    // the address asked for, `address` where its redirects ended.
    using Planner =
        std::function<std::vector<std::string>(std::string_view asked, std::string_view address,
                                               std::string_view headers, std::string_view body)>;
    virtual void PlanWith(Planner planner) = 0;
};

// What a browser saw a page load when it ran the page, scripts and all.
struct PageLoads {
    std::vector<std::string> addresses;  // absolute, each once, in the order the page asked
    std::string notice;  // one line for the user, or "": why no browser was used, or a limit
};

// Runs a page in a browser to learn what its scripts load. It only adds addresses: whatever
// goes into the help file is fetched by the run's own fetcher.
class PageProbe {
public:
    virtual ~PageProbe() = default;

    // Every address the page at `pageUrl` loaded, within the probe's time limits and not once
    // `stop` says so. No addresses and a notice saying why when no browser could be used; a
    // probe that failed once tries no more and says nothing again.
    virtual PageLoads Probe(const std::string& pageUrl, const StopSignal& stop) = 0;

    // The run has probed its last page: what the probe holds may go while the run compiles.
    virtual void Finish() {}
};

// How a started program ended.
struct ProcessOutcome {
    enum class End { NotStarted, Exited, Signalled, TimedOut, Stopped };
    End end = End::NotStarted;
    int code = 0;  // the exit status, or the signal that ended it
};

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;

    // Starts argv[0] with these arguments (no shell, no splitting at blanks) and waits until it
    // ends, but no longer than the runner's time limit and not once `stop` says so: then the
    // program is killed. A program that cannot start returns at once.
    virtual ProcessOutcome ExecAndWait(const std::vector<std::string>& argv,
                                       const StopSignal& stop) = 0;
};

// File operations of a run. Failures throw RunError with the number of the file error.
class Files {
public:
    virtual ~Files() = default;

    // An ordinary file: a regular file whose name does not start with ".".
    virtual bool FileExists(const std::string& path) const = 0;

    // `path` resolved against the current folder; an absolute path as it is.
    virtual std::string Absolute(const std::string& path) const = 0;

    // The whole file's bytes.
    virtual std::string ReadFile(const std::string& path) const = 0;

    // Creates or empties the file and writes `bytes` from its first byte.
    virtual void WriteFile(const std::string& path, std::string_view bytes) = 0;

    // A file that is not there is no error.
    virtual void DeleteFile(const std::string& path) = 0;

    // Makes the folder; one that is there already is no error.
    virtual void MakeFolder(const std::string& path) = 0;

    // Removes the folder, which must be empty; one that is not there is no error.
    virtual void RemoveFolder(const std::string& path) = 0;

    // Moves the file `from` to `to`, on the same file system, replacing what is there.
    virtual void MoveFile(const std::string& from, const std::string& to) = 0;

    // Removes everything inside the folder, as far as it can; never throws.
    virtual void ClearFolder(const std::string& folder) noexcept = 0;

    // `to` holds a copy of `from`; an existing `to` is replaced only by a complete copy.
    virtual void CopyFile(const std::string& from, const std::string& to) = 0;
};

}  // namespace engine
