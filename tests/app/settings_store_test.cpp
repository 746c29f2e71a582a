#include <filesystem>
#include <fstream>
#include <iterator>

#include <QString>
#include <gtest/gtest.h>

#include "settings/ini_settings_reader.h"
#include "settings/qt_settings_store.h"
#include "settings/run_settings.h"
#include "tests/support/memory_settings_store.h"

namespace {

// The store is the INI file KORVA/KORVA.conf in the user's configuration folder, which the
// test's main points at a scratch folder.
TEST(QtSettingsStoreTest, KeepsValuesAsTypedInTheUsersFile) {
    settings::QtSettingsStore store;
    EXPECT_EQ(store.GetSetting("Main", "HHC", "/default/"), "/default/");
    store.SaveSetting("Main", "HHC", "/opt/my tools/");
    store.SaveSetting("Main", "OutputDir", "/home/u/out");
    EXPECT_EQ(settings::QtSettingsStore().GetSetting("Main", "HHC", "x"), "/opt/my tools/");
    EXPECT_EQ(store.GetSetting("Main", "OutputDir", "x"), "/home/u/out");

    const std::string file =
        qEnvironmentVariable("XDG_CONFIG_HOME").toStdString() + "/KORVA/KORVA.conf";
    std::ifstream in(file);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(text.find("[Main]"), std::string::npos) << text;
    EXPECT_NE(text.find("HHC=/opt/my tools/"), std::string::npos) << text;
}

// korva-convert reads without Qt what the window wrote with it, whatever the text holds.
TEST(IniSettingsReaderTest, ReadsWhatQSettingsWrote) {
    const std::string values[] = {
        "/usr/bin/",      " blanks around ",          "a,b;c=d", "say \"hi\"", "back\\slash",
        "tab\there\nand", "caf\xC3\xA9 \xE2\x82\xAC", "\x01x",   "",
    };
    settings::QtSettingsStore store;
    for (const std::string& value : values) {
        store.SaveSetting("Main", "Probe", value);
        EXPECT_EQ(settings::IniSettingsReader().GetSetting("Main", "Probe", "none"), value)
            << value;
    }
    const settings::IniSettingsReader reader;
    EXPECT_EQ(reader.GetSetting("Main", "Missing", "none"), "none");
    EXPECT_EQ(reader.GetSetting("Other", "Probe", "none"), "none");
    // What a user may type by hand: a key twice, a section twice. QSettings is the judge.
    const std::string file =
        qEnvironmentVariable("XDG_CONFIG_HOME").toStdString() + "/KORVA/KORVA.conf";
    std::ofstream(file) << "[Main]\nBrowser=off\nA=1\n[Other]\nA=2\n[Main]\nBrowser=auto\n";
    for (const char* key : {"Browser", "A"}) {
        EXPECT_EQ(settings::IniSettingsReader().GetSetting("Main", key, "none"),
                  settings::QtSettingsStore().GetSetting("Main", key, "none"))
            << key;
    }
    EXPECT_EQ(settings::UnescapedIniValue("  plain value  ; a comment"), "plain value");
    EXPECT_EQ(settings::UnescapedIniValue("a, b"), "");  // a list, as QSettings reads it
}

TEST(RunSettingsTest, ReadsTheRunsKeysAndTakesDefaultsForUnusableValues) {
    support::MemorySettingsStore store;
    settings::RunSettings run = settings::ReadRunSettings(store);
    EXPECT_EQ(run.capture, engine::Capture::Complete);
    EXPECT_EQ(run.maxDownloadBytes, std::size_t{256} << 20);
    EXPECT_EQ(run.maxPageBytes, std::size_t{32} << 20);
    EXPECT_EQ(run.limits.maxResources, 10000u);
    EXPECT_EQ(run.limits.maxStoredBytes, std::uint64_t{2} << 30);
    EXPECT_EQ(run.limits.maxRunTime, std::chrono::minutes(30));
    EXPECT_EQ(run.browser, "auto");
    EXPECT_EQ(run.browserSeconds, std::chrono::seconds(5));

    store.values = {{"Main/Capture", "classic"}, {"Main/MaxDownloadMB", "3"},
                    {"Main/MaxPageMB", "5"},     {"Main/MaxResources", "0"},
                    {"Main/MaxStoredMB", "12x"}, {"Main/MaxRunSeconds", "90"}};
    store.values["Main/Browser"] = "/opt/my browser/chrome";
    store.values["Main/BrowserSeconds"] = "99999";
    run = settings::ReadRunSettings(store);
    EXPECT_EQ(run.capture, engine::Capture::Classic);
    EXPECT_EQ(run.maxDownloadBytes, std::size_t{3} << 20);
    EXPECT_EQ(run.maxPageBytes, std::size_t{5} << 20);
    EXPECT_EQ(run.limits.maxResources, 10000u);
    EXPECT_EQ(run.limits.maxStoredBytes, std::uint64_t{2} << 30);
    EXPECT_EQ(run.limits.maxRunTime, std::chrono::seconds(90));
    EXPECT_EQ(run.browser, "/opt/my browser/chrome");
    EXPECT_EQ(run.browserSeconds, std::chrono::hours(1));  // no longer than the clock can add
}

}  // namespace
