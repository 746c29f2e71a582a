// One document's references to resources: each is resolved against the document's base,
// stored through SaveFile, and written relative to the document's own stored file.
#pragma once

#include <string>
#include <string_view>

#include "engine/capture.h"
#include "engine/ports.h"

namespace engine {

class ResourceLinker {
public:
    // `base` is the document's address; `localPath` its name below the working folder.
    ResourceLinker(std::string_view base, std::string_view localPath, Capture capture,
                   ResourceSaver& saver);

    // What the stored document says instead of `ref`: the stored file's name relative to the
    // document, its fragment kept. When nothing was stored: the resolved address in complete
    // mode, "" in classic mode. A data: address stays as written in complete mode.
    std::string Localize(std::string_view ref);

    // A BASE tag's address, already resolved, for the references after it.
    void Rebase(std::string base) { base_ = std::move(base); }

    const std::string& base() const { return base_; }

    Capture capture() const { return capture_; }

private:
    std::string base_;
    std::string localPath_;
    Capture capture_;
    ResourceSaver& saver_;
};

}  // namespace engine
