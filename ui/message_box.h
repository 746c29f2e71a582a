// Every message the program shows: one OK button, the application's title "TomePress", and
// the wait until the user has closed it.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace ui {

inline const QString kAppTitle = QStringLiteral("TomePress");

void ShowMessage(QWidget* parent, const QString& text,
                 QMessageBox::Icon icon = QMessageBox::NoIcon);

}  // namespace ui
