#include "about/frmAbout.h"

#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

#include "ui/twips.h"

namespace {

constexpr const char* kWebsite = "https://korva.example/";

QFrame* Separator(QWidget* parent, const char* name, int top) {
    auto* line = ui::Placed(new QFrame(parent), name, ui::TwipsRect(240, top - 15, 4200, 30));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

QString VersionCaption(const about::ProgramVersion& version) {
    return QStringLiteral("Version %1.%2 beta").arg(version.major).arg(version.minor);
}

QString BuildCaption(const about::ProgramVersion& version) {
    return QStringLiteral("Build (%1)").arg(version.revision);
}

frmAbout::frmAbout(QWidget* parent, const about::ProgramVersion& version, Opener opener)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      version_(version),
      opener_(opener ? std::move(opener) : Opener([](const QString& address) {
          QDesktopServices::openUrl(QUrl::fromUserInput(address));
      })),
      Image1(ui::Placed(new QLabel(this), "Image1", ui::TwipsRect(600, 240, 1470, 345))),
      lblVersion(ui::Placed(new QLabel(this), "lblVersion", ui::TwipsRect(2520, 240, 1695, 255))),
      lblBuild(ui::Placed(new QLabel(this), "lblBuild", ui::TwipsRect(2520, 480, 1695, 255))),
      Label1(ui::Placed(new QLabel(tr("KORVA Website:"), this), "Label1",
                        ui::TwipsRect(480, 1080, 1335, 255))),
      lblWebsite(ui::Placed(new QLabel(kWebsite, this), "lblWebsite",
                            ui::TwipsRect(1800, 1080, 2400, 195))),
      OKButton(ui::Placed(new QPushButton(tr("OK"), this), "OKButton",
                          ui::TwipsRect(1740, 2640, 1215, 375))),
      Line1{Separator(this, "Line1_0", 960), Separator(this, "Line1_1", 1440)} {
    setObjectName("frmAbout");
    setFont(ui::DialogFont());
    setWindowTitle(tr("About"));
    setFixedSize(ui::Px(4695), ui::Px(3150));
    Image1->setPixmap(QPixmap(":/artwork/logo.png"));

    QFont versionFont = ui::DialogFont();
    versionFont.setFamilies({"Arial", "Liberation Sans"});
    versionFont.setBold(true);
    versionFont.setPointSizeF(9.75);
    lblVersion->setFont(versionFont);
    lblVersion->setAlignment(Qt::AlignCenter);
    lblBuild->setAlignment(Qt::AlignCenter);

    QFont websiteFont = ui::DialogFont();
    websiteFont.setUnderline(true);
    lblWebsite->setFont(websiteFont);
    QPalette blue = lblWebsite->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    lblWebsite->setPalette(blue);
    lblWebsite->setCursor(Qt::PointingHandCursor);
    lblWebsite->installEventFilter(this);

    OKButton->setAutoDefault(false);
    connect(OKButton, &QPushButton::clicked, this, &frmAbout::OKButton_Click);
    Form_Load();
    OKButton->setFocus();
}

void frmAbout::Form_Load() {
    lblVersion->setText(VersionCaption(version_));
    lblBuild->setText(BuildCaption(version_));
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->ignore();  // no cancel button: Escape leaves the box open
        return;
    }
    QDialog::keyPressEvent(event);
}

// A label has no click of its own: a left-button release over it is one.
bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblWebsite && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        lblWebsite->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        lblWebsite_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::lblWebsite_Click() {
    RunShellExecute("Open", lblWebsite->text(), {}, {}, 1);
}

// The verb, parameters, folder and show command have no counterpart here: the desktop opens
// the address with its default program, and what it answers is not looked at.
void frmAbout::RunShellExecute(const QString& /*sTopic*/, const QString& sFile,
                               const QString& /*sParams*/, const QString& /*sDirectory*/,
                               int /*nShowCmd*/) {
    opener_(sFile);
}

void frmAbout::OKButton_Click() {
    accept();
}
