// Whole runs against a local server, the real transfer and files, and the stand-in compiler,
// which archives the project and every file it lists.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/converter.h"
#include "platform/curl_fetcher.h"
#include "platform/files.h"
#include "platform/process_runner.h"
#include "tests/support/fake_ports.h"
#include "tests/support/http_server.h"
#include "tests/support/stand_in_chm.h"
#include "tests/support/temp_folder.h"

namespace support {

class ConversionTest : public ::testing::Test {
protected:
    ConversionTest() {
        std::filesystem::create_directories(tools_.path() + "my tools");
        std::filesystem::copy_file(FAKE_HHC, tools_.path() + "my tools/hhc.exe");
        converter_.sCompiler = tools_.path() + "my tools/hhc.exe";
        converter_.TempDir = work_.path();
    }

    void Serve(const std::string& path, const std::string& type, const std::string& body) {
        server_.Serve(path, {200, type, body});
    }

    void Convert(const std::string& path) { converter_.Convert(server_.Url(path), output()); }

    std::string output() const { return out_.path() + "help file.chm"; }

    std::map<std::string, std::string> Chm() const { return support::ReadStandInChm(output()); }

    // What the conversion left in the working folder.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(work_.path())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    support::HttpServer server_;
    support::TempFolder work_;
    support::TempFolder tools_;
    support::TempFolder out_;
    support::FakeHost host_;
    platform::CurlFetcher fetcher_;
    platform::SpawnProcessRunner runner_{std::chrono::seconds(2)};
    platform::LocalFiles files_;
    engine::Converter converter_{fetcher_, host_, runner_, files_};
};

}  // namespace support
