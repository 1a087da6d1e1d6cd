// The last resort of the tournament's tests against a hang: every test of a
// program that installs TestDeadline gets a time limit; a test still
// running past it (a blocked window thread or worker that nothing else can
// reach) ends the program with a failure naming the test.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace tourtest {

// Registered once per test program (see the .cpp files): every test gets
// `limit`; a test past it ends the program with exit code 1.
class TestDeadline : public ::testing::EmptyTestEventListener {
public:
    explicit TestDeadline(std::chrono::seconds limit) : limit_(limit) {}
    ~TestDeadline() override { disarm(); }

    void OnTestStart(const ::testing::TestInfo& info) override {
        disarm();
        std::string name = std::string(info.test_suite_name()) + "." + info.name();
        armed_ = true;
        watcher_ = std::thread([this, name] {
            std::unique_lock<std::mutex> lock(m_);
            if (cv_.wait_for(lock, limit_, [this] { return !armed_; })) return;
            std::fprintf(stderr, "[  FAILED  ] %s did not finish within %lld s\n", name.c_str(),
                         static_cast<long long>(limit_.count()));
            std::fflush(stderr);
            std::_Exit(1);
        });
    }
    void OnTestEnd(const ::testing::TestInfo&) override { disarm(); }

    static void install(std::chrono::seconds limit) {
        ::testing::UnitTest::GetInstance()->listeners().Append(new TestDeadline(limit));
    }

private:
    void disarm() {
        {
            std::lock_guard<std::mutex> lock(m_);
            armed_ = false;
        }
        cv_.notify_all();
        if (watcher_.joinable()) watcher_.join();
    }

    std::chrono::seconds limit_;
    std::mutex m_;
    std::condition_variable cv_;
    bool armed_ = false;
    std::thread watcher_;
};

} // namespace tourtest
