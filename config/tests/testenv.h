// Shared set-up of the configuration tests: a scratch program folder with a
// Config folder, a scratch settings store, and a silent notifier whose boxes
// the tests inspect.
#pragma once

#include "platform/catalogue.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "platform/registry.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace cnftest {

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::reg::setStorePath((dir_.path() / "registry.reg").string());
        plat::notify::setHeadlessEcho(false);
        plat::notify::clearRecorded();
        plat::notify::setHeadlessAnswer(0);
        program_ = dir_.path() / "program";
        std::filesystem::create_directories(program_ / "Config");
    }
    void TearDown() override {
        plat::setAtomicWriteFault(-1);
        plat::notify::setHeadlessAnswer(0);
    }

    // The program folder as the system holds it (ends in '/').
    std::string folder() const { return program_.string() + "/"; }
    std::filesystem::path config() const { return program_ / "Config"; }
    std::filesystem::path file(const std::string& storedPath) const {
        std::string p = storedPath;
        std::replace(p.begin(), p.end(), '\\', '/');
        return program_ / p;
    }
    // Names in Config that begin VLCNF.
    std::vector<std::string> confFiles() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(config()))
            if (e.path().filename().string().rfind("VLCNF", 0) == 0)
                names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // How often the box of a message was shown (boxes are told apart by text).
    static int shown(std::string_view text) {
        auto r = plat::notify::recorded();
        return static_cast<int>(
            std::count_if(r.begin(), r.end(), [&](const auto& q) { return q.text == text; }));
    }
    static int shown(int id) { return shown(plat::msg::text(id)); }
    static int boxes() { return static_cast<int>(plat::notify::recorded().size()); }

    testsupport::TempDir dir_;
    std::filesystem::path program_;
};

} // namespace cnftest
