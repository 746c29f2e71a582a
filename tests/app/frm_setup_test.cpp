#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "settings/frmSetup.h"
#include "tests/support/memory_settings_store.h"
#include "tests/support/modal.h"
#include "tests/support/temp_folder.h"

namespace {

class FrmSetupTest : public ::testing::Test {
protected:
    FrmSetupTest() {
        folders_.Write("tools/hhc.exe", "");
        folders_.Write("caps/HHC.EXE", "");
        folders_.Write("out/old.chm", "");
        folders_.Write("empty/.hidden", "");
        folders_.Write("empty/sub/file", "");
        folders_.Write("output.txt", "");
        store_.values = {{"Main/HHC", "/stored/tools/"}, {"Main/OutputDir", "/stored/out/"}};
    }

    // Opens the dialog, types the two folders and presses OK; returns the message shown, if any.
    support::ShownMessage PressOK(frmSetup& dialog, const std::string& compiler,
                                  const std::string& output) {
        dialog.findChild<QLineEdit*>("txtHelpCompiler")->setText(QString::fromStdString(compiler));
        dialog.findChild<QLineEdit*>("txtOutputDir")->setText(QString::fromStdString(output));
        support::ShownMessage shown;
        support::AcknowledgeNextMessage(shown);
        QTest::mouseClick(dialog.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        support::StopWaitingForModal();
        return shown;
    }

    std::string Path(const std::string& name) const { return folders_.path() + name; }

    support::TempFolder folders_;
    support::MemorySettingsStore store_;
    std::string sCompiler_ = "before";
};

TEST_F(FrmSetupTest, ShowsTheStoredFolders) {
    frmSetup dialog(store_, sCompiler_);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("txtHelpCompiler")->text(), "/stored/tools/");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("txtOutputDir")->text(), "/stored/out/");
    EXPECT_EQ(dialog.windowTitle(), "KORVA Setup");
    EXPECT_EQ(dialog.size(), QSize(289, 153));
    EXPECT_EQ(dialog.focusWidget(), dialog.findChild<QPushButton*>("OKButton"));
}

TEST_F(FrmSetupTest, StoresTwoValidFolders) {
    frmSetup dialog(store_, sCompiler_);
    const support::ShownMessage shown = PressOK(dialog, Path("tools/"), Path("out/"));
    EXPECT_TRUE(shown.text.isEmpty()) << shown.text.toStdString();
    EXPECT_EQ(store_.values["Main/HHC"], Path("tools/"));
    EXPECT_EQ(store_.values["Main/OutputDir"], Path("out/"));
    EXPECT_EQ(sCompiler_, Path("tools/hhc.exe"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(FrmSetupTest, RefusesACompilerFolderItCannotUse) {
    // without its trailing "/", and with the name in capitals, which only start-up accepts
    for (const std::string& folder : {Path("tools"), Path("caps/"), Path("none/")}) {
        frmSetup dialog(store_, sCompiler_);
        const support::ShownMessage shown = PressOK(dialog, folder, Path("out/"));
        EXPECT_EQ(shown.text, "The location of the Help Compiler (hhc.exe) is invalid.") << folder;
        EXPECT_EQ(shown.title, "TomePress");
        EXPECT_EQ(shown.icon, QMessageBox::NoIcon);
        EXPECT_EQ(store_.values["Main/HHC"], "/stored/tools/");
        EXPECT_EQ(sCompiler_, "before");
    }
}

TEST_F(FrmSetupTest, AnUnusableOutputFolderKeepsTheCompilerThatWasStored) {
    frmSetup dialog(store_, sCompiler_);
    const support::ShownMessage shown = PressOK(dialog, Path("tools/"), Path("empty/"));
    EXPECT_EQ(shown.text, "The Default Output directory is invalid.");
    EXPECT_EQ(store_.values["Main/HHC"], Path("tools/"));
    EXPECT_EQ(sCompiler_, Path("tools/hhc.exe"));
    EXPECT_EQ(store_.values["Main/OutputDir"], "/stored/out/");

    QTest::mouseClick(dialog.findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(store_.values["Main/HHC"], Path("tools/"));  // Cancel undoes nothing
    frmSetup reopened(store_, sCompiler_);
    EXPECT_EQ(reopened.findChild<QLineEdit*>("txtOutputDir")->text(), "/stored/out/");
}

TEST_F(FrmSetupTest, NeitherEnterNorEscapeActs) {
    frmSetup dialog(store_, sCompiler_);
    dialog.show();
    auto* compiler = dialog.findChild<QLineEdit*>("txtHelpCompiler");
    compiler->setText(QString::fromStdString(Path("tools/")));
    compiler->setFocus();
    QTest::keyClick(compiler, Qt::Key_Return);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(store_.values["Main/HHC"], "/stored/tools/");
}

}  // namespace
