#include "settings/frmSetup.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/folder_search.h"
#include "settings/qt_settings_store.h"
#include "ui/message_box.h"
#include "ui/twips.h"

frmSetup::frmSetup(settings::SettingsStore& store, std::string& compiler, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      store_(store),
      sCompiler(compiler),
      lblHelpCompiler(ui::Placed(new QLabel(tr("Help Compiler Location:"), this), "lblHelpCompiler",
                                 ui::TwipsRect(240, 240, 2175, 255))),
      txtHelpCompiler(
          ui::Placed(new QLineEdit(this), "txtHelpCompiler", ui::TwipsRect(240, 480, 3855, 285))),
      lblOutputDir(ui::Placed(new QLabel(tr("Default Output Directory:"), this), "lblOutputDir",
                              ui::TwipsRect(240, 960, 1935, 255))),
      txtOutputDir(
          ui::Placed(new QLineEdit(this), "txtOutputDir", ui::TwipsRect(240, 1200, 3855, 285))),
      OKButton(ui::Placed(new QPushButton(tr("OK"), this), "OKButton",
                          ui::TwipsRect(840, 1800, 1215, 375))),
      CancelButton(ui::Placed(new QPushButton(tr("Cancel"), this), "CancelButton",
                              ui::TwipsRect(2280, 1800, 1215, 375))) {
    setObjectName("frmSetup");
    setFont(ui::DialogFont());
    setWindowTitle(tr("KORVA Setup"));
    setFixedSize(ui::Px(4335), ui::Px(2295));
    for (QPushButton* button : {OKButton, CancelButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, txtHelpCompiler);
    setTabOrder(txtHelpCompiler, txtOutputDir);
    connect(OKButton, &QPushButton::clicked, this, &frmSetup::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmSetup::CancelButton_Click);
    Form_Load();
    OKButton->setFocus();
}

void frmSetup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->ignore();  // no cancel button: Escape leaves the dialog open
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmSetup::Form_Load() {
    using namespace settings;
    txtHelpCompiler->setText(
        QString::fromStdString(store_.GetSetting(kSection, kCompilerKey, DefaultCompilerFolder())));
    txtOutputDir->setText(
        QString::fromStdString(store_.GetSetting(kSection, kOutputDirKey, DefaultOutputFolder())));
}

// Each text is joined to the name without a separator, so a folder passes only when typed with
// its trailing "/"; and unlike start-up, the compiler's name must be "hhc.exe" exactly.
void frmSetup::OKButton_Click() {
    using namespace settings;
    const std::string compilerFolder = txtHelpCompiler->text().toStdString();
    if (platform::FolderSearch(compilerFolder + "hhc.exe") != "hhc.exe") {
        ui::ShowMessage(this, tr("The location of the Help Compiler (hhc.exe) is invalid."));
        return;
    }
    store_.SaveSetting(kSection, kCompilerKey, compilerFolder);
    sCompiler = compilerFolder + "hhc.exe";

    const std::string outputFolder = txtOutputDir->text().toStdString();
    if (platform::FolderSearch(outputFolder + "*.*").empty()) {
        ui::ShowMessage(this, tr("The Default Output directory is invalid."));
        return;
    }
    store_.SaveSetting(kSection, kOutputDirKey, outputFolder);
    accept();
}

void frmSetup::CancelButton_Click() {
    reject();
}
