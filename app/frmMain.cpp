#include "app/frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "about/frmAbout.h"
#include "app/browser_urls.h"
#include "app/picture_box.h"
#include "app/qt_host.h"
#include "app/single_instance.h"
#include "engine/run_error.h"
#include "platform/browser_probe/browser_probe.h"
#include "platform/files.h"
#include "platform/folder_search.h"
#include "platform/interrupt.h"
#include "platform/leftovers.h"
#include "settings/frmSetup.h"
#include "settings/qt_settings_store.h"
#include "settings/run_settings.h"
#include "ui/message_box.h"
#include "ui/twips.h"

namespace {

constexpr int kPanelTravel = 840;        // twips the panel grows by when it opens
constexpr int kPanelOpenHeight = 1095;   // the frame, open
constexpr int kPanelClosedHeight = 255;  // the frame, closed: its caption row alone
constexpr int kProgressHeight = 300;     // the line below the buttons that a run adds
constexpr int kListedLevels = 3;         // levels of links the follow list offers

QString ErrorText(const engine::RunError& error) {
    return QStringLiteral("Error %1: %2")
        .arg(error.number)
        .arg(QString::fromStdString(error.description));
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

    ~WaitCursor() { QApplication::restoreOverrideCursor(); }

    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QLabel* RightAligned(QLabel* label) {
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

}  // namespace

// Laid out with the panel open and the down arrow showing; start-up closes the panel.
frmMain::frmMain(settings::SettingsStore& store, engine::Fetcher& Net,
                 engine::ProcessRunner& runner, engine::Files& files)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      store_(store),
      cboInputUrl(
          ui::Placed(new QComboBox(this), "cboInputUrl", ui::TwipsRect(1080, 180, 3735, 315))),
      txtOutputFile(
          ui::Placed(new QLineEdit(this), "txtOutputFile", ui::TwipsRect(1080, 555, 3735, 285))),
      lblInputUrl(RightAligned(ui::Placed(new QLabel(tr("Input URL"), this), "lblInputUrl",
                                          ui::TwipsRect(120, 240, 855, 255)))),
      lblOuputFile(RightAligned(ui::Placed(new QLabel(tr("Output File"), this), "lblOuputFile",
                                           ui::TwipsRect(120, 600, 855, 255)))),
      btnOK(ui::Placed(new QPushButton(tr("&OK"), this), "btnOK",
                       ui::TwipsRect(840, 2280, 1455, 375))),
      btnCancel(ui::Placed(new QPushButton(tr("&Cancel"), this), "btnCancel",
                           ui::TwipsRect(2760, 2280, 1455, 375))),
      frmOptions(ui::Placed(new QGroupBox(tr("Options"), this), "frmOptions",
                            ui::TwipsRect(120, 960, 4815, kPanelOpenHeight))) {
    setObjectName("frmMain");
    setFont(ui::DialogFont());
    setWindowTitle(tr("KORVA (Tome Press)"));
    setFixedSize(ui::Px(5070), ui::Px(2790));
    cboInputUrl->setEditable(true);
    cboInputUrl->setInsertPolicy(QComboBox::NoInsert);  // the list is the browsers' alone
    btnOK->setDefault(true);
    BuildOptionsPanel();

    setTabOrder(cboInputUrl, txtOutputFile);
    setTabOrder(txtOutputFile, btnOK);
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, optLinks[0]);
    setTabOrder(optLinks[0], optLinks[1]);
    setTabOrder(optLinks[1], optLinks[2]);
    setTabOrder(optLinks[2], cboFollow);
    setTabOrder(cboFollow, txtMaxPages);
    cboInputUrl->setFocus();

    host_ = std::make_unique<QtHost>(this, optLinks, [this](std::size_t done, std::size_t known) {
        pages_ = {done, known};
        ShowProgress(fetched_);
    });
    converter_ = std::make_unique<engine::Converter>(Net, *host_, runner, files);
    ConnectHandlers();
}

frmMain::~frmMain() {
    if (!converter_->TempDir.empty()) {
        platform::RemoveFolderIfEmpty(converter_->TempDir);
    }
}

void frmMain::BuildOptionsPanel() {
    Image1 = new PictureBox("Image1", ":/artwork/links.png", ui::TwipsRect(360, 360, 225, 255),
                            frmOptions);
    Image1->setToolTip(tr("Links"));
    const char* captions[] = {"Absolute", "External", "Null"};
    const int lefts[] = {1080, 2280, 3480};
    const int widths[] = {1095, 1095, 855};
    for (std::size_t i = 0; i < optLinks.size(); ++i) {
        const std::string name = "optLinks_" + std::to_string(i);
        optLinks[i] = ui::Placed(new QRadioButton(tr(captions[i]), frmOptions), name.c_str(),
                                 ui::TwipsRect(lefts[i], 360, widths[i], 255));
    }
    optLinks[0]->setChecked(true);
    imgAboutUp = new PictureBox("imgAboutUp", ":/artwork/about-up.png",
                                ui::TwipsRect(3000, 780, 855, 255), frmOptions);
    imgAboutDown = new PictureBox("imgAboutDown", ":/artwork/about-down.png",
                                  ui::TwipsRect(3015, 795, 855, 255), frmOptions);
    imgSetupUp = new PictureBox("imgSetupUp", ":/artwork/setup-up.png",
                                ui::TwipsRect(3900, 780, 855, 255), frmOptions);
    imgSetupDown = new PictureBox("imgSetupDown", ":/artwork/setup-down.png",
                                  ui::TwipsRect(3915, 795, 855, 255), frmOptions);
    imgDownUp = new PictureBox("imgDownUp", ":/artwork/arrow-down.png",
                               ui::TwipsRect(4440, 0, 270, 195), frmOptions);
    imgUpUp = new PictureBox("imgUpUp", ":/artwork/arrow-up.png", ui::TwipsRect(4440, 0, 270, 195),
                             frmOptions);
    imgAboutDown->hide();
    imgSetupDown->hide();
    imgUpUp->hide();
    BuildBookControls();
}

// Below the link mode, where the original panel left room beside About and Setup.
void frmMain::BuildBookControls() {
    cboFollow =
        ui::Placed(new QComboBox(frmOptions), "cboFollow", ui::TwipsRect(360, 780, 1545, 255));
    cboFollow->addItem(tr("This page only"));
    cboFollow->addItem(tr("Links, 1 level"));
    for (int levels = 2; levels <= kListedLevels; ++levels) {
        cboFollow->addItem(tr("Links, %1 levels").arg(levels));
    }
    cboFollow->setToolTip(
        tr("The pages to take: this page only, or the pages its links lead "
           "to, as many links away"));
    txtMaxPages =
        ui::Placed(new QSpinBox(frmOptions), "txtMaxPages", ui::TwipsRect(1935, 780, 1020, 255));
    txtMaxPages->setRange(1, 100000);
    txtMaxPages->setPrefix(tr("max "));
    txtMaxPages->setToolTip(tr("At most this many pages in the help file"));
    connect(cboFollow, &QComboBox::currentIndexChanged, this,
            [this](int index) { txtMaxPages->setEnabled(index > 0); });
}

void frmMain::ShowBookSettings(const engine::BookOptions& book) {
    if (book.follow > kListedLevels) {
        cboFollow->addItem(tr("Links, %1 levels").arg(book.follow));
    }
    cboFollow->setCurrentIndex(std::min(book.follow, kListedLevels + 1));
    txtMaxPages->setValue(static_cast<int>(std::min<std::size_t>(book.maxPages, 100000)));
    txtMaxPages->setEnabled(book.follow > 0);
}

// A pressed picture stands in for its raised one until the release: the release of a press
// is the raised picture's, wherever the pointer is then.
void frmMain::ConnectHandlers() {
    connect(btnOK, &QPushButton::clicked, this, &frmMain::btnOK_Click);
    connect(btnCancel, &QPushButton::clicked, this, &frmMain::btnCancel_Click);
    connect(imgAboutUp, &PictureBox::MouseDown, this, &frmMain::imgAboutUp_MouseDown);
    connect(imgAboutUp, &PictureBox::MouseUp, this, &frmMain::imgAboutUp_MouseUp);
    connect(imgAboutDown, &PictureBox::MouseUp, this, &frmMain::imgAboutUp_MouseUp);
    connect(imgSetupUp, &PictureBox::MouseDown, this, &frmMain::imgSetupUp_MouseDown);
    connect(imgSetupUp, &PictureBox::MouseUp, this, &frmMain::imgSetupUp_MouseUp);
    connect(imgSetupDown, &PictureBox::MouseUp, this, &frmMain::imgSetupUp_MouseUp);
    connect(imgDownUp, &PictureBox::MouseUp, this, &frmMain::imgDownUp_MouseUp);
    connect(imgUpUp, &PictureBox::MouseUp, this, &frmMain::imgUpUp_MouseUp);
}

bool frmMain::Form_Load(SingleInstance& instance) {
    using namespace settings;
    if (instance.AnotherIsRunning()) {
        ui::ShowMessage(nullptr, tr("You can only run one instance of KORVA at any one time."),
                        QMessageBox::Information);
        return false;
    }
    const std::string compilerFolder =
        store_.GetSetting(kSection, kCompilerKey, DefaultCompilerFolder());
    converter_->sCompiler = platform::FindHelpCompiler(compilerFolder);
    if (converter_->sCompiler.empty()) {
        ShowSetup(nullptr);  // before the main window is ever shown
    }

    std::string outputFolder = store_.GetSetting(kSection, kOutputDirKey, DefaultOutputFolder());
    if (platform::FolderSearch(outputFolder + "*.*").empty()) {
        outputFolder = DefaultOutputFolder();
        store_.SaveSetting(kSection, kOutputDirKey, outputFolder);
    }
    run_ = ReadRunSettings(store_);
    converter_->capture = run_.capture;
    converter_->limits = run_.limits;
    converter_->book = run_.book;
    ShowBookSettings(run_.book);
    converter_->interrupted = platform::InterruptRequested;
    GetBrowserUrls();
    txtOutputFile->setText(QString::fromStdString(outputFolder + "index.chm"));
    try {
        platform::RemoveStaleWorkingFolders(platform::TemporaryFolder());
        converter_->TempDir = platform::MakeWorkingFolder();
    } catch (const engine::RunError& error) {
        ui::ShowMessage(nullptr, ErrorText(error));
        return false;
    }
    imgUpUp_MouseUp(1, 0, 0, 0);
    return true;
}

// Each address goes to the top of the list, so the window listed last comes first.
void frmMain::GetBrowserUrls() {
    for (const std::string& address : OpenBrowserAddresses()) {
        cboInputUrl->insertItem(0, QString::fromStdString(address));
    }
    cboInputUrl->setEditText(cboInputUrl->count() > 0 ? cboInputUrl->itemText(0) : QString());
}

void frmMain::btnOK_Click() {
    btnOK->setEnabled(false);
    btnCancel->setEnabled(false);
    const std::optional<engine::RunError> failed = RunConversion();
    if (!failed) {
        QApplication::beep();
        const std::string summary =
            engine::LeftOutSummary(converter_->leftOut(), converter_->resourcesAsked());
        if (!run_.quiet && !summary.empty()) {
            ui::ShowMessage(this, QString::fromStdString(summary), QMessageBox::Information);
        }
    } else if (!platform::InterruptRequested()) {  // a signal asked to end: nobody to tell
        ui::ShowMessage(this, ErrorText(*failed));
    }
    close();
}

// The hourglass and the signal handlers for the run alone, whatever way it ends.
std::optional<engine::RunError> frmMain::RunConversion() {
    const WaitCursor busy;
    const platform::InterruptGuard interrupts;
    const int chosen = cboFollow->currentIndex();
    converter_->book.follow = chosen > kListedLevels ? converter_->book.follow : chosen;
    converter_->book.maxPages = static_cast<std::size_t>(txtMaxPages->value());
    // Goes with the run, before the working folder: the browser and its profile.
    const std::unique_ptr<engine::PageProbe> browser = platform::MakeBrowserProbe(
        run_.browser, converter_->capture, converter_->TempDir, {.settle = run_.browserSeconds});
    converter_->browser = browser.get();
    std::optional<engine::RunError> failed;
    try {
        converter_->Convert(cboInputUrl->currentText().toStdString(),
                            txtOutputFile->text().toStdString());
    } catch (const engine::RunError& error) {
        failed = error;
    }
    converter_->browser = nullptr;
    return failed;
}

void frmMain::ShowProgress(const platform::FetchProgress& progress) {
    fetched_ = progress;
    if (run_.quiet) {
        return;
    }
    if (lblProgress == nullptr) {
        const int top = btnOK->geometry().bottom() + ui::Px(60);
        lblProgress = new QLabel(this);
        lblProgress->setObjectName("lblProgress");
        lblProgress->setGeometry(ui::Px(120), top, ui::Px(4815), ui::Px(255));
        setFixedSize(width(), height() + ui::Px(kProgressHeight));
        lblProgress->show();
    }
    lblProgress->setText(QString::fromStdString(platform::ProgressText(progress, pages_)));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmMain::btnCancel_Click() {
    close();
}

// Escape presses Cancel, and only while Cancel can be pressed.
void frmMain::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (btnCancel->isEnabled()) {
            btnCancel->click();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmMain::imgDownUp_MouseUp(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button != 1) {
        return;
    }
    imgDownUp->hide();
    imgUpUp->show();
    frmOptions->resize(frmOptions->width(), ui::Px(kPanelOpenHeight));
    ShiftBelowPanel(kPanelTravel);
}

void frmMain::imgUpUp_MouseUp(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button != 1) {
        return;
    }
    imgUpUp->hide();
    imgDownUp->show();
    frmOptions->resize(frmOptions->width(), ui::Px(kPanelClosedHeight));
    ShiftBelowPanel(-kPanelTravel);
}

// Relative moves: the visible arrow decides which of open and close can run, so they alternate.
void frmMain::ShiftBelowPanel(int twips) {
    for (QPushButton* button : {btnOK, btnCancel}) {
        button->move(button->x(), button->y() + ui::Px(twips));
    }
    setFixedSize(width(), height() + ui::Px(twips));
}

void frmMain::imgAboutUp_MouseDown(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button == 1) {
        PressPicture(imgAboutUp, imgAboutDown);
    }
}

void frmMain::imgAboutUp_MouseUp(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button == 1 && ReleasePicture(imgAboutUp, imgAboutDown)) {
        frmAbout(this).exec();
    }
}

void frmMain::imgSetupUp_MouseDown(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button == 1) {
        PressPicture(imgSetupUp, imgSetupDown);
    }
}

void frmMain::imgSetupUp_MouseUp(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button == 1 && ReleasePicture(imgSetupUp, imgSetupDown)) {
        ShowSetup(this);
    }
}

// The pressed picture takes the mouse, since hiding the raised one ends Qt's own hold on it.
void frmMain::PressPicture(PictureBox* raised, PictureBox* pressed) {
    raised->hide();
    pressed->show();
    pressed->grabMouse();
}

// False when no press of this picture button is under way.
bool frmMain::ReleasePicture(PictureBox* raised, PictureBox* pressed) {
    if (!raised->isHidden()) {
        return false;
    }
    pressed->releaseMouse();
    pressed->hide();
    raised->show();
    return true;
}

void frmMain::ShowSetup(QWidget* parent) {
    frmSetup(store_, converter_->sCompiler, parent).exec();
}
