// The engine's host on the main window: the link mode from the option buttons, read anew
// each time a tag asks, and messages in the program's message box.
#pragma once

#include <array>
#include <functional>

#include <QRadioButton>

#include "engine/ports.h"

class QtHost : public engine::Host {
public:
    using PagesSink = std::function<void(std::size_t done, std::size_t known)>;

    QtHost(QWidget* window, const std::array<QRadioButton*, 3>& optLinks, PagesSink pages);

    engine::LinkMode CurrentLinkMode() const override;
    void ShowMessage(std::string_view text) override;

    void ShowPages(std::size_t done, std::size_t known) override { pages_(done, known); }

private:
    QWidget* window_;
    std::array<QRadioButton*, 3> optLinks_;
    PagesSink pages_;
};
