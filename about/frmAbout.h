// The About box: logo, version and build, and the website address, which opens with the
// desktop's default program when clicked. OK or the close box closes it; Escape does not.
#pragma once

#include <functional>

#include <QDialog>
#include <QString>

#include "about/version.h"

class QKeyEvent;
class QLabel;
class QPushButton;
class QFrame;

// "Version 0.9 beta" and "Build (1074)" for 0.9.1074.
QString VersionCaption(const about::ProgramVersion& version);
QString BuildCaption(const about::ProgramVersion& version);

class frmAbout : public QDialog {
    Q_OBJECT

public:
    // Opens a document or an address with the program the desktop has for it.
    using Opener = std::function<void(const QString& address)>;

    explicit frmAbout(QWidget* parent = nullptr,
                      const about::ProgramVersion& version = about::kProgramVersion,
                      Opener opener = {});

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void lblWebsite_Click();
    void OKButton_Click();

private:
    void Form_Load();
    void RunShellExecute(const QString& sTopic, const QString& sFile, const QString& sParams,
                         const QString& sDirectory, int nShowCmd);

    about::ProgramVersion version_;
    Opener opener_;

    QLabel* Image1;
    QLabel* lblVersion;
    QLabel* lblBuild;
    QLabel* Label1;
    QLabel* lblWebsite;
    QPushButton* OKButton;
    QFrame* Line1[2];
};
