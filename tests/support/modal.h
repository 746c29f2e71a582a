// Window tests answer modal dialogs and message boxes the way a user would, from a timer that
// runs inside the dialog's own event loop.
#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace support {

// Runs `answer` on the next modal window that opens (within about five seconds; the test
// fails if none does). Call it before the action that opens the window.
void WhenModalOpens(std::function<void(QWidget*)> answer);

// What a message box said, answered with its OK button.
struct ShownMessage {
    QString title;
    QString text;
    int icon = -1;  // QMessageBox::Icon
};

// Answers the next message box with OK and records it in `shown`.
void AcknowledgeNextMessage(ShownMessage& shown);

// Gives up waiting, so that a window the test expected not to open is not answered later.
void StopWaitingForModal();

}  // namespace support
