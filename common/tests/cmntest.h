// Shared set-up of the common library's tests: the sample AKs of the program
// folder, a scratch folder with its own settings store, a silent notifier
// whose boxes the tests inspect, and AK files made from edited samples.
#pragma once

#include "akdata/akexports.h"
#include "base/akrecord.h"
#include "platform/notify.h"
#include "platform/registry.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace cmntest {

inline std::string programDir() {
    return VELL_PROGRAM_DIR;
}

// The sample AK n (1 to 8) as a path, and as its folder and file name.
inline std::string sampleFolder() {
    return programDir() + "AkData";
}
inline std::string sampleFile(int n) {
    return "ak0" + std::to_string(n) + ".dat";
}
inline std::string samplePath(int n) {
    return sampleFolder() + "/" + sampleFile(n);
}

inline std::unique_ptr<TArmoredKnight> loadAk(const std::string& path) {
    auto ak = std::make_unique<TArmoredKnight>();
    EXPECT_EQ(LoadAkData(ak.get(), path.c_str()), 0) << path;
    return ak;
}

class CmnTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::reg::setStorePath((dir_.path() / "registry.reg").string());
        plat::notify::setHeadlessEcho(false);
        plat::notify::clearRecorded();
        plat::notify::setHeadlessAnswer(0);
    }
    void TearDown() override { plat::notify::clearRecorded(); }

    // The scratch folder as the system holds folders (ends in '/').
    std::string scratch() const { return dir_.folder(); }

    // Sample n loaded, changed by edit, saved under name in the scratch
    // folder; returns the path.
    std::string editedSample(int n, const std::string& name,
                             const std::function<void(TArmoredKnight&)>& edit) {
        auto ak = loadAk(samplePath(n));
        edit(*ak);
        std::string path = scratch() + name;
        EXPECT_EQ(SaveAkData(ak.get(), path.c_str()), 0) << path;
        return path;
    }

    // How many boxes named the path (the AK data library's report of a file
    // it cannot read).
    static int reportsAbout(const std::string& path) {
        int n = 0;
        for (const auto& r : plat::notify::recorded())
            if (r.text.find(path) != std::string::npos) ++n;
        return n;
    }

private:
    testsupport::TempDir dir_;
};

} // namespace cmntest
