// The settings dialog: the help compiler's folder and the default output folder, each checked
// with the folder search before it is stored. Escape does not close it and Enter does not
// press OK: neither button is the dialog's default or cancel button.
#pragma once

#include <string>

#include <QDialog>

#include "settings/settings_store.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

class frmSetup : public QDialog {
    Q_OBJECT

public:
    // `sCompiler` is the main window's: a valid compiler folder sets it at once.
    frmSetup(settings::SettingsStore& store, std::string& sCompiler, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void OKButton_Click();
    void CancelButton_Click();

private:
    void Form_Load();

    settings::SettingsStore& store_;
    std::string& sCompiler;

    QLabel* lblHelpCompiler;
    QLineEdit* txtHelpCompiler;
    QLabel* lblOutputDir;
    QLineEdit* txtOutputDir;
    QPushButton* OKButton;
    QPushButton* CancelButton;
};
