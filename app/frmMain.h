// The main window: the page's address and the output file, OK and Cancel, and the options
// panel with the link mode, how far links are followed, and the About and Setup picture
// buttons. Its start-up (Form_Load)
// runs before it is shown; a conversion runs inside OK's handler and ends the program.
#pragma once

#include <array>
#include <memory>
#include <optional>

#include <QDialog>

#include "engine/converter.h"
#include "engine/ports.h"
#include "engine/run_error.h"
#include "platform/fetch_common.h"
#include "settings/run_settings.h"
#include "settings/settings_store.h"

class PictureBox;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QtHost;
class SingleInstance;

class frmMain : public QDialog {
    Q_OBJECT

public:
    frmMain(settings::SettingsStore& store, engine::Fetcher& Net, engine::ProcessRunner& runner,
            engine::Files& files);
    ~frmMain() override;

    // Start-up, before the window is shown. False when the program must end at once.
    bool Form_Load(SingleInstance& instance);

    // The conversion state: sURL, sCompiler, TempDir, FoundError.
    engine::Converter& conversion() { return *converter_; }

    // The run's progress in a line below the buttons, shown while it runs; the window repaints
    // with it, though it takes no input until the run ends.
    void ShowProgress(const platform::FetchProgress& progress);

    void imgDownUp_MouseUp(int Button, int Shift, float X, float Y);
    void imgUpUp_MouseUp(int Button, int Shift, float X, float Y);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void btnOK_Click();
    void btnCancel_Click();
    void imgAboutUp_MouseDown(int Button, int Shift, float X, float Y);
    void imgAboutUp_MouseUp(int Button, int Shift, float X, float Y);
    void imgSetupUp_MouseDown(int Button, int Shift, float X, float Y);
    void imgSetupUp_MouseUp(int Button, int Shift, float X, float Y);

private:
    std::optional<engine::RunError> RunConversion();
    void BuildOptionsPanel();
    void BuildBookControls();
    void ShowBookSettings(const engine::BookOptions& book);
    void ConnectHandlers();
    void GetBrowserUrls();
    void ShiftBelowPanel(int twips);
    void ShowSetup(QWidget* parent);
    void PressPicture(PictureBox* raised, PictureBox* pressed);
    bool ReleasePicture(PictureBox* raised, PictureBox* pressed);

    settings::SettingsStore& store_;

    QComboBox* cboInputUrl;
    QLineEdit* txtOutputFile;
    QLabel* lblInputUrl;
    QLabel* lblOuputFile;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QGroupBox* frmOptions;
    QLabel* Image1;
    std::array<QRadioButton*, 3> optLinks;
    QComboBox* cboFollow;  // this page only, or the pages it links to, N levels
    QSpinBox* txtMaxPages;
    PictureBox* imgAboutUp;
    PictureBox* imgAboutDown;
    PictureBox* imgSetupUp;
    PictureBox* imgSetupDown;
    PictureBox* imgDownUp;
    PictureBox* imgUpUp;
    QLabel* lblProgress = nullptr;
    platform::FetchProgress fetched_;
    platform::PageCount pages_;
    settings::RunSettings run_;  // as read when the window loads; quiet: no progress, no summary

    std::unique_ptr<QtHost> host_;
    std::unique_ptr<engine::Converter> converter_;
};
