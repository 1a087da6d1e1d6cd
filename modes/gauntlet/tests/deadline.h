// The last resort against a test of the simulation that hangs: a thread
// of its own that ends the test program with a message when the guarded
// scope outlives its limit (a run thread that never finishes, a join, a
// window thread stuck outside any event loop). Window tests add
// ModalUnwinder (modaldeadline.h), which fails the test and unwinds its
// modal windows long before.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace gauntlettest {

class HardDeadline {
public:
    HardDeadline(std::chrono::seconds limit, std::string what) : what_(std::move(what)) {
        watcher_ = std::thread([this, limit] {
            std::unique_lock<std::mutex> lock(m_);
            if (cv_.wait_for(lock, limit, [this] { return disarmed_; })) return;
            std::fprintf(stderr, "\n*** %s: still running after %lld s, test program ended\n", what_.c_str(),
                         static_cast<long long>(limit.count()));
            std::fflush(stderr);
            std::_Exit(3);
        });
    }
    ~HardDeadline() {
        {
            std::lock_guard<std::mutex> lock(m_);
            disarmed_ = true;
        }
        cv_.notify_all();
        watcher_.join();
    }
    HardDeadline(const HardDeadline&) = delete;
    HardDeadline& operator=(const HardDeadline&) = delete;

private:
    std::string what_;
    std::mutex m_;
    std::condition_variable cv_;
    bool disarmed_ = false;
    std::thread watcher_;
};

} // namespace gauntlettest
