#include "tests/support/modal.h"

#include <memory>

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace support {

namespace {

constexpr int kPollMilliseconds = 10;
constexpr int kMostPolls = 500;

QPointer<QTimer> waiting;

}  // namespace

void WhenModalOpens(std::function<void(QWidget*)> answer) {
    StopWaitingForModal();
    auto polls = std::make_shared<int>(0);
    auto* timer = new QTimer(qApp);
    waiting = timer;
    QObject::connect(timer, &QTimer::timeout, [timer, polls, answer = std::move(answer)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr && ++*polls < kMostPolls) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (modal != nullptr) {
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

void StopWaitingForModal() {
    if (waiting) {
        waiting->stop();
        waiting->deleteLater();
    }
}

}  // namespace support
