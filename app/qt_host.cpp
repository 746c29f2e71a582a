#include "app/qt_host.h"

#include "ui/message_box.h"

QtHost::QtHost(QWidget* window, const std::array<QRadioButton*, 3>& optLinks)
    : window_(window), optLinks_(optLinks) {}

// Only Null and External are asked; Absolute is what is left.
engine::LinkMode QtHost::CurrentLinkMode() const {
    if (optLinks_[2]->isChecked()) {
        return engine::LinkMode::Null;
    }
    if (optLinks_[1]->isChecked()) {
        return engine::LinkMode::External;
    }
    return engine::LinkMode::Absolute;
}

// Header texts are bytes: one character each, as they came.
void QtHost::ShowMessage(std::string_view text) {
    ui::ShowMessage(window_, QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}
