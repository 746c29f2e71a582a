#include <filesystem>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include "app/frmMain.h"
#include "app/picture_box.h"
#include "app/single_instance.h"
#include "platform/concurrent_fetcher.h"
#include "platform/files.h"
#include "platform/process_runner.h"
#include "tests/support/http_server.h"
#include "tests/support/memory_settings_store.h"
#include "tests/support/modal.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

namespace {

// The geometry that opening and closing the panel change, in pixels.
struct PanelGeometry {
    QSize client;
    int buttonsTop;
    int frameHeight;
    bool downArrow;

    bool operator==(const PanelGeometry&) const = default;
};

class FrmMainTest : public ::testing::Test {
protected:
    FrmMainTest() {
        folders_.Write("tools/hhc.exe", "");
        folders_.Write("out/old.chm", "");
        std::filesystem::create_directories(Path("lock"));
        // No browser: these runs are about what the tags name.
        store_.values = {{"Main/HHC", Path("tools/")},
                         {"Main/OutputDir", Path("out/")},
                         {"Main/Browser", "off"}};
    }

    // A window after start-up; `expectShown` says whether start-up lets it open.
    frmMain& Load(bool expectShown = true) {
        window_ = std::make_unique<frmMain>(store_, fetcher_, runner_, files_);
        EXPECT_EQ(window_->Form_Load(instance_), expectShown);
        return *window_;
    }

    template <typename Widget>
    Widget* Find(const char* name) const {
        Widget* found = window_->findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    PanelGeometry Geometry() const {
        return {window_->size(), Find<QPushButton>("btnOK")->y(),
                Find<QGroupBox>("frmOptions")->height(),
                !Find<PictureBox>("imgDownUp")->isHidden()};
    }

    void Release(const char* picture, Qt::MouseButton button) {
        QTest::mouseRelease(Find<PictureBox>(picture), button);
    }

    std::string Path(const std::string& name) const { return folders_.path() + name; }

    support::HttpServer server_;  // outlives the transfer's kept-alive connection
    support::TempFolder folders_;
    support::MemorySettingsStore store_;
    platform::ConcurrentFetcher fetcher_;
    platform::SpawnProcessRunner runner_;
    platform::LocalFiles files_;
    SingleInstance instance_{QString::fromStdString(folders_.path() + "lock")};
    std::unique_ptr<frmMain> window_;
};

const PanelGeometry kClosed{{338, 130}, 96, 17, true};
const PanelGeometry kOpen{{338, 186}, 152, 73, false};

TEST_F(FrmMainTest, OpensWithThePanelClosed) {
    frmMain& window = Load();
    EXPECT_EQ(Geometry(), kClosed);
    EXPECT_EQ(window.windowTitle(), "KORVA (Tome Press)");
    EXPECT_EQ(Find<QLineEdit>("txtOutputFile")->text().toStdString(), Path("out/index.chm"));
    EXPECT_EQ(Find<QComboBox>("cboInputUrl")->count(), 0);  // the scratch home has no browser
    EXPECT_EQ(Find<QComboBox>("cboInputUrl")->currentText(), "");
    EXPECT_TRUE(Find<QRadioButton>("optLinks_0")->isChecked());
    EXPECT_TRUE(Find<QPushButton>("btnOK")->isDefault());
    EXPECT_EQ(window.focusWidget(), Find<QComboBox>("cboInputUrl"));
    EXPECT_TRUE(std::filesystem::is_directory(window.conversion().TempDir));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());  // a fixed border
    EXPECT_FALSE(window.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    window.grab().save(SCREENSHOT_DIR "/main-closed.png");
}

TEST_F(FrmMainTest, TabGoesThroughTheControlsInOrder) {
    Load();
    std::vector<QString> order;
    QWidget* widget = Find<QComboBox>("cboInputUrl");
    for (int i = 0; i < 100 && order.size() < 9; ++i, widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) && !widget->objectName().isEmpty()) {
            order.push_back(widget->objectName());
        }
    }
    EXPECT_EQ(order, (std::vector<QString>{"cboInputUrl", "txtOutputFile", "btnOK", "btnCancel",
                                           "optLinks_0", "optLinks_1", "optLinks_2", "cboFollow",
                                           "txtMaxPages"}));
}

// How far links are followed starts from the settings; the page limit counts only then.
TEST_F(FrmMainTest, TheFollowControlsStartFromTheSettings) {
    store_.values["Main/Follow"] = "7";
    store_.values["Main/MaxPages"] = "42";
    Load();
    auto* follow = Find<QComboBox>("cboFollow");
    EXPECT_EQ(follow->currentText(), "Links, 7 levels");
    EXPECT_EQ(Find<QSpinBox>("txtMaxPages")->value(), 42);
    follow->setCurrentIndex(0);
    EXPECT_EQ(follow->currentText(), "This page only");
    EXPECT_FALSE(Find<QSpinBox>("txtMaxPages")->isEnabled());
}

TEST_F(FrmMainTest, TheArrowsOpenAndCloseThePanel) {
    Load();
    Release("imgDownUp", Qt::RightButton);
    EXPECT_EQ(Geometry(), kClosed);
    Release("imgDownUp", Qt::LeftButton);
    EXPECT_EQ(Geometry(), kOpen);
    window_->grab().save(SCREENSHOT_DIR "/main-open.png");

    Find<QRadioButton>("optLinks_2")->click();
    Release("imgUpUp", Qt::RightButton);
    EXPECT_EQ(Geometry(), kOpen);
    Release("imgUpUp", Qt::LeftButton);
    EXPECT_EQ(Geometry(), kClosed);
    Release("imgDownUp", Qt::LeftButton);
    EXPECT_EQ(Geometry(), kOpen);
    EXPECT_TRUE(Find<QRadioButton>("optLinks_2")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>("optLinks_0")->isChecked());
}

TEST_F(FrmMainTest, APictureButtonOpensItsDialogOnTheRelease) {
    Load();
    window_->show();
    Release("imgDownUp", Qt::LeftButton);
    auto* raised = Find<PictureBox>("imgAboutUp");
    auto* pressed = Find<PictureBox>("imgAboutDown");

    // Right presses and releases do nothing.
    QTest::mousePress(raised, Qt::RightButton);
    QTest::mouseRelease(raised, Qt::RightButton);
    EXPECT_FALSE(raised->isHidden());
    EXPECT_TRUE(pressed->isHidden());

    QTest::mousePress(raised, Qt::LeftButton);
    EXPECT_TRUE(raised->isHidden());
    EXPECT_FALSE(pressed->isHidden());
    QString title;
    support::WhenModalOpens([&title](QWidget* dialog) {
        title = dialog->windowTitle();
        dialog->close();
    });
    // Released far off the picture, on the window's corner: the release is still the picture's.
    QTest::mouseRelease(window_->windowHandle(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(title, "About");
    EXPECT_FALSE(raised->isHidden());
    EXPECT_TRUE(pressed->isHidden());

    QTest::mousePress(Find<PictureBox>("imgSetupUp"), Qt::LeftButton);
    support::WhenModalOpens([&title](QWidget* dialog) {
        title = dialog->windowTitle();
        dialog->grab().save(SCREENSHOT_DIR "/setup.png");
        dialog->close();
    });
    QTest::mouseRelease(Find<PictureBox>("imgSetupDown"), Qt::LeftButton);
    EXPECT_EQ(title, "KORVA Setup");
    EXPECT_FALSE(Find<PictureBox>("imgSetupUp")->isHidden());
}

TEST_F(FrmMainTest, AskForTheCompilerFirstWhenItIsMissing) {
    // A folder without its trailing "/" is searched as ".../toolshhc.exe": not found.
    store_.values["Main/HHC"] = Path("tools");
    QString title;
    support::WhenModalOpens([&title](QWidget* dialog) {
        title = dialog->windowTitle();
        dialog->findChild<QPushButton*>("CancelButton")->click();
    });
    frmMain& window = Load();
    EXPECT_EQ(title, "KORVA Setup");
    EXPECT_EQ(window.conversion().sCompiler, "");
    EXPECT_EQ(store_.values["Main/HHC"], Path("tools"));
}

TEST_F(FrmMainTest, ReplacesAnUnusableOutputFolderWithHome) {
    std::filesystem::create_directories(Path("empty/sub"));
    folders_.Write("empty/.hidden", "");
    store_.values["Main/OutputDir"] = Path("empty/");
    Load();
    const std::string home = qEnvironmentVariable("HOME").toStdString() + "/";
    EXPECT_EQ(store_.values["Main/OutputDir"], home);
    EXPECT_EQ(Find<QLineEdit>("txtOutputFile")->text().toStdString(), home + "index.chm");
}

TEST_F(FrmMainTest, RefusesASecondInstance) {
    SingleInstance first(QString::fromStdString(Path("lock")));
    ASSERT_FALSE(first.AnotherIsRunning());  // takes the lock
    support::ShownMessage shown;
    support::AcknowledgeNextMessage(shown);
    Load(false);
    EXPECT_EQ(shown.text, "You can only run one instance of KORVA at any one time.");
    EXPECT_EQ(shown.title, "TomePress");
    EXPECT_EQ(shown.icon, QMessageBox::Information);
}

TEST_F(FrmMainTest, CancelAndEscapeEndTheProgram) {
    Load();
    window_->show();
    QTest::keyClick(window_.get(), Qt::Key_Escape);
    EXPECT_FALSE(window_->isVisible());
    window_->show();
    Find<QPushButton>("btnCancel")->click();
    EXPECT_FALSE(window_->isVisible());
}

// A whole conversion through the window, with the real compiler and the chosen link mode.
TEST_F(FrmMainTest, OKConvertsThePageAndEnds) {
    server_.Serve("/page.htm", {200, "text/html",
                                "<a href=x.htm>x</a><a href=y.htm>y</a><img src=a.gif>"
                                "<link href=d.pdf><img src=gone.gif>"});
    server_.Serve("/x.htm", {200, "text/html", "<p>x"});
    server_.Serve("/a.gif", {200, "image/gif", "GIF89a"});
    server_.Serve("/d.pdf", {200, "application/pdf", "%PDF"});
    store_.values["Main/HHC"] = std::filesystem::path(HHC_EXE).parent_path().string() + "/";
    frmMain& window = Load();
    window.show();
    fetcher_.ReportProgressTo([&window](const auto& progress) { window.ShowProgress(progress); });
    Find<QComboBox>("cboInputUrl")->setEditText(QString::fromStdString(server_.Url("/page.htm")));
    Find<QLineEdit>("txtOutputFile")->setText(QString::fromStdString(Path("help.chm")));
    Release("imgDownUp", Qt::LeftButton);
    Find<QRadioButton>("optLinks_1")->click();
    Find<QComboBox>("cboFollow")->setCurrentIndex(1);

    // The unknown type's headers are shown while the run holds the window; what was left out
    // is said at its end.
    support::ShownMessage shown, summary;
    bool busy = false;
    support::WhenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        shown = {box->windowTitle(), box->text(), box->icon()};
        busy = QApplication::overrideCursor() != nullptr &&
               QApplication::overrideCursor()->shape() == Qt::WaitCursor &&
               !Find<QPushButton>("btnOK")->isEnabled() &&
               !Find<QPushButton>("btnCancel")->isEnabled();
        box->accept();
        support::AcknowledgeNextMessage(summary);
    });
    QTest::mouseClick(Find<QPushButton>("btnOK"), Qt::LeftButton);
    EXPECT_EQ(shown.title, "TomePress");
    EXPECT_TRUE(shown.text.contains("Content-Type: application/pdf")) << shown.text.toStdString();
    EXPECT_TRUE(busy);
    EXPECT_EQ(summary.text.toStdString(), "1 of 3 resources was left out: 1 answered 404\n  " +
                                              server_.Url("/gone.gif") + ": HTTP 404 Not Found");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(std::filesystem::is_empty(window.conversion().TempDir));
    EXPECT_TRUE(Find<QLabel>("lblProgress")->text().startsWith("page 2 of 2 \u00b7 fetched "))
        << "no progress shown";

    // The help file holds the page as the External mode rewrote it, the stored page's link local.
    ASSERT_EQ(support::RunProgram({EXTRACT_CHMLIB, Path("help.chm"), Path("extracted")}).exitCode,
              0);
    EXPECT_EQ(folders_.Read("extracted/" + server_.SiteFolder() + "/page.htm"),
              "<a href='x.htm'>x</a><a href='" + server_.Url("/y.htm") +
                  "' TARGET='_BLANK'>y</a><img src='a.gif'><link href='" + server_.Url("/d.pdf") +
                  "'><img src='" + server_.Url("/gone.gif") + "'>");
}

TEST_F(FrmMainTest, AnErrorIsShownAndEndsTheProgram) {
    frmMain& window = Load();
    window.show();
    Find<QComboBox>("cboInputUrl")->setEditText(QString::fromStdString(server_.Url("/none.htm")));
    support::ShownMessage shown;
    support::AcknowledgeNextMessage(shown);
    QTest::keyClick(Find<QComboBox>("cboInputUrl")->lineEdit(),
                    Qt::Key_Return);  // OK is the default
    EXPECT_EQ(shown.text, "Error 404: Cannot open URL (HTTP 404 Not Found)");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Find<QComboBox>("cboInputUrl")->count(), 0);
}

}  // namespace
