// The engine's host on the main window: the link mode from the option buttons, read anew
// each time a tag asks, and messages in the program's message box.
#pragma once

#include <array>

#include <QRadioButton>

#include "engine/ports.h"

class QtHost : public engine::Host {
public:
    QtHost(QWidget* window, const std::array<QRadioButton*, 3>& optLinks);

    engine::LinkMode CurrentLinkMode() const override;
    void ShowMessage(std::string_view text) override;

private:
    QWidget* window_;
    std::array<QRadioButton*, 3> optLinks_;
};
