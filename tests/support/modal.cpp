#include "tests/support/modal.h"

#include <memory>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace support {

namespace {

constexpr int kPollMilliseconds = 10;
constexpr int kMostPolls = 500;

bool answered = false;

}  // namespace

void WhenModalOpens(std::function<void(QWidget*)> answer) {
    answered = false;
    auto polls = std::make_shared<int>(0);
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, polls, answer = std::move(answer)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr && ++*polls < kMostPolls) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (modal != nullptr) {
            answered = true;
            answer(modal);
        }
    });
    timer->start(kPollMilliseconds);
}

void AcknowledgeNextMessage(ShownMessage& shown) {
    WhenModalOpens([&shown](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            modal->close();
            return;
        }
        shown = {box->windowTitle(), box->text(), box->icon()};
        box->accept();
    });
}

bool ModalWasAnswered() {
    return answered;
}

}  // namespace support
