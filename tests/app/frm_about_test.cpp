#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "about/frmAbout.h"

namespace {

TEST(FrmAboutTest, CaptionsComeFromTheVersionRecord) {
    EXPECT_EQ(VersionCaption({0, 9, 1074}), "Version 0.9 beta");
    EXPECT_EQ(BuildCaption({0, 9, 1074}), "Build (1074)");
    EXPECT_EQ(VersionCaption({1, 10, 5}), "Version 1.10 beta");
    EXPECT_EQ(BuildCaption({1, 10, 5}), "Build (5)");

    // This release's record, generated from the build's version.
    frmAbout box;
    EXPECT_EQ(box.findChild<QLabel*>("lblVersion")->text(), "Version 0.9 beta");
    EXPECT_EQ(box.findChild<QLabel*>("lblBuild")->text(), "Build (1074)");
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(box.size(), QSize(313, 210));
    EXPECT_FALSE(box.findChild<QLabel*>("Image1")->pixmap().isNull());
    box.grab().save(SCREENSHOT_DIR "/about.png");
}

TEST(FrmAboutTest, OnlyTheAddressOpensTheWebsite) {
    std::vector<QString> opened;
    frmAbout box(nullptr, about::kProgramVersion,
                 [&opened](const QString& address) { opened.push_back(address); });
    box.show();
    QTest::mouseClick(box.findChild<QLabel*>("Label1"), Qt::LeftButton);
    EXPECT_TRUE(opened.empty());

    auto* website = box.findChild<QLabel*>("lblWebsite");
    QTest::mouseClick(website, Qt::LeftButton);
    QTest::mouseClick(website, Qt::LeftButton);
    QTest::mouseClick(website, Qt::RightButton);
    EXPECT_EQ(opened, (std::vector<QString>{"https://korva.example/", "https://korva.example/"}));
    EXPECT_TRUE(box.isVisible());  // opening the website does not close the box
    EXPECT_TRUE(website->font().underline());
    EXPECT_EQ(website->palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

TEST(FrmAboutTest, EscapeLeavesItOpenAndOKClosesIt) {
    frmAbout box;
    box.show();
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.isVisible());
    QTest::mouseClick(box.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
}

}  // namespace
