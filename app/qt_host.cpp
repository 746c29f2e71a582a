#include "app/qt_host.h"

#include "ui/message_box.h"

QtHost::QtHost(QWidget* window, const std::array<QRadioButton*, 3>& optLinks, PagesSink pages)
    : window_(window), optLinks_(optLinks), pages_(std::move(pages)) {}

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

// The engine hands over text made visible, so it is well-formed UTF-8.
void QtHost::ShowMessage(std::string_view text) {
    ui::ShowMessage(window_, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}
