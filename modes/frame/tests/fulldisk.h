// What an event must leave behind when its output folder fills up or turns
// read-only while it runs: the entrants' files as they were, no temporary
// file anywhere, and every output AK file whole (it loads and carries the
// record of its match). `Trigger` does the harm once, on the run thread
// between two steps, as soon as the event has written its first output;
// heal() takes it away again for the next run.
#pragma once

#include "akdata/akexports.h"
#include "modes/frame/tests/modetest.h"
#include "platform/files.h"
#include "testsupport/smalldisk.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace modetest {

using FolderBytes = std::map<std::string, std::string>;

inline FolderBytes folderBytes(const std::filesystem::path& folder) {
    FolderBytes files;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.is_regular_file()) files[e.path().filename().string()] = testsupport::readFile(e.path());
    return files;
}

inline void expectNoTemporaryFile(const std::filesystem::path& folder) {
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
        EXPECT_EQ(e.path().filename().string().rfind(".vell-tmp-", 0), std::string::npos) << e.path();
}

// Every "<name>.da<n>" of the folder loads and holds a result record; the
// number of them.
inline int expectWholeOutputs(const std::filesystem::path& folder) {
    int count = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        if (e.path().extension().string().rfind(".da", 0) != 0) continue;
        ++count;
        TArmoredKnight ak{};
        EXPECT_EQ(LoadAkData(&ak, e.path().c_str()), 0) << e.path();
        EXPECT_NE(testsupport::readFile(e.path()).find("--- CVVELL Game Result ---"), std::string::npos)
            << e.path();
    }
    return count;
}

// Runs `harm` once, the first time `ready` holds.
class Trigger {
public:
    Trigger(std::function<bool()> ready, std::function<void()> harm)
        : ready_(std::move(ready)), harm_(std::move(harm)) {}
    void operator()() {
        if (!done_ && ready_()) {
            harm_();
            done_ = true;
        }
    }
    bool done() const { return done_; }

private:
    std::function<bool()> ready_;
    std::function<void()> harm_;
    bool done_ = false;
};

// Runs `body` on a run thread to its end with fixed seeds, trying `trigger`
// (when given) at every hand-off to the window; the hand-offs are then run.
inline void runWithTrigger(TestHost& host, Trigger* trigger, const modes::RunThread::Body& body) {
    if (trigger) host.setOnPost([trigger] { (*trigger)(); });
    modes::RunThread thread(host);
    seedEverything();
    thread.start(body);
    ASSERT_TRUE(host.waitFinished());
    thread.join();
    host.runPosted();
}

// The harms: a small disk filled up or turned read-only, or the platform's
// failing device (every whole-file write fails from then on).
enum class Harm { FullDisk, ReadOnlyDisk, FailingDevice };

inline std::string harmName(const ::testing::TestParamInfo<Harm>& info) {
    switch (info.param) {
    case Harm::FullDisk:
        return "FullDisk";
    case Harm::ReadOnlyDisk:
        return "ReadOnlyDisk";
    case Harm::FailingDevice:
        return "FailingDevice";
    }
    return "";
}

// The folder a harm strikes: a small disk of its own for the disk harms,
// else `folder` itself. ready() is false (why() tells) when no small disk
// can be mounted here.
class HarmedFolder {
public:
    HarmedFolder(Harm harm, std::filesystem::path folder) : harm_(harm), path_(std::move(folder)) {
        if (harm_ == Harm::FailingDevice) return;
        disk_ = std::make_unique<testsupport::SmallDisk>(512);
        if (disk_->mounted()) path_ = disk_->path();
    }
    ~HarmedFolder() { plat::setAtomicWriteFault(-1); }
    HarmedFolder(const HarmedFolder&) = delete;
    HarmedFolder& operator=(const HarmedFolder&) = delete;

    bool ready() const { return !disk_ || disk_->mounted(); }
    std::string why() const { return disk_ ? disk_->why() : std::string(); }
    const std::filesystem::path& path() const { return path_; }

    void strike() {
        switch (harm_) {
        case Harm::FullDisk:
            ASSERT_TRUE(disk_->fill());
            break;
        case Harm::ReadOnlyDisk:
            ASSERT_TRUE(disk_->makeReadOnly());
            break;
        case Harm::FailingDevice:
            plat::setAtomicWriteFault(0);
            break;
        }
    }
    // Takes the harm away: the space freed, the disk writable again.
    void heal() {
        switch (harm_) {
        case Harm::FullDisk:
            ASSERT_TRUE(disk_->unfill());
            break;
        case Harm::ReadOnlyDisk:
            ASSERT_TRUE(disk_->makeWritable());
            break;
        case Harm::FailingDevice:
            plat::setAtomicWriteFault(-1);
            break;
        }
    }

private:
    Harm harm_;
    std::filesystem::path path_;
    std::unique_ptr<testsupport::SmallDisk> disk_;
};

} // namespace modetest
