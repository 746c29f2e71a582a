// What korva-convert shows on standard error: the messages the window would show in a box,
// and, on a terminal only, one progress line rewritten in place.
#pragma once

#include <string>
#include <string_view>

#include "engine/ports.h"
#include "platform/fetch_common.h"

class Console : public engine::Host {
public:
    explicit Console(engine::LinkMode mode);

    engine::LinkMode CurrentLinkMode() const override { return mode_; }

    void ShowMessage(std::string_view text) override;
    void ShowPages(std::size_t done, std::size_t known) override;

    // Rewrites the progress line; nothing when standard error is not a terminal.
    void ShowProgress(const platform::FetchProgress& progress);

    // Ends the progress line, so that what follows starts on a line of its own.
    void EndProgress();

private:
    engine::LinkMode mode_;
    bool terminal_;
    std::string shown_;  // the progress line on the screen now
    platform::FetchProgress fetched_;
    platform::PageCount pages_;
};
