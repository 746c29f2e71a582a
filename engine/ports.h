// What the engine asks of the world around it. The windows answer the host calls; the
// resource download answers SaveFile. Tests hand in fakes.
#pragma once

#include <string>
#include <string_view>

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
};

class ResourceSaver {
public:
    virtual ~ResourceSaver() = default;

    // Stores the resource at the absolute address `Url` in the working folder and returns its
    // local file name, or "" when nothing was stored. May scan a fetched page in turn.
    virtual std::string SaveFile(const std::string& Url) = 0;
};

}  // namespace engine
