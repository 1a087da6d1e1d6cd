// Shared pieces of the one-vs-one tests: a message buffer filled by hand, a
// text view as a vector of lines, and the game processor calls recorded on
// their way to libcvcore.so (with abort answers that can be scripted).
#pragma once

#include "modes/frame/tests/modetest.h"
#include "modes/versus/output.h"
#include "modes/versus/stepper.h"

#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vstest {

inline void addLine(cv::GameMessageBuffer& b, uint32_t kind, uint32_t indent, const std::string& text,
                    uint32_t blanks = 0) {
    cv::GameMessageLine& l = b.Lines[b.Count++];
    l.Kind = kind;
    l.Indent = indent;
    l.BlankLinesAfter = blanks;
    std::memset(l.Text, 0, sizeof l.Text);
    std::memcpy(l.Text, text.data(), std::min(text.size(), sizeof l.Text - 1));
}

// A text view as lines with their colours; it refuses lines beyond its
// capacity.
class VectorSink : public versus::LogSink {
public:
    explicit VectorSink(size_t capacity = 100000) : capacity_(capacity) {}
    int lineCount() const override { return static_cast<int>(lines.size()); }
    void removeLastLine() override { lines.pop_back(); }
    void removeFirstLine() override { lines.erase(lines.begin()); }
    void clear() override { lines.clear(); }
    bool addLine(std::string_view text, uint32_t colour) override {
        if (lines.size() >= capacity_) return false;
        lines.emplace_back(std::string(text), colour);
        return true;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& l : lines) t.push_back(l.first);
        return t;
    }
    std::vector<std::pair<std::string, uint32_t>> lines;

private:
    size_t capacity_;
};

// The exports a step called, in order; abort answers come from `aborts`
// (result, AK files written) while there are any, else from the real
// export.
class RecordingCalls : public versus::MatchCalls {
public:
    std::vector<std::string> calls;
    std::deque<std::pair<uint8_t, uint8_t>> aborts;
    std::vector<int32_t> akViewerSides;

    void startMatch(const char* log, const char* title) override {
        calls.push_back("StartMatch");
        real().startMatch(log, title);
    }
    uint8_t processMatch(const char* log) override {
        calls.push_back("ProcessMatch");
        return real().processMatch(log);
    }
    void endMatch1(const char* log, const char* out) override {
        calls.push_back("EndMatch1");
        real().endMatch1(log, out);
    }
    void endMatch2(const char* log) override {
        calls.push_back("EndMatch2");
        real().endMatch2(log);
    }
    uint8_t abortMatch(void* owner, const char* log, const char* out, uint8_t* written) override {
        calls.push_back("AbortMatch");
        if (aborts.empty()) return real().abortMatch(owner, log, out, written);
        auto [result, akWritten] = aborts.front();
        aborts.pop_front();
        *written = akWritten;
        return result;
    }
    void akViewer(int32_t side, cv::GameMessageBuffer* buffer) override {
        akViewerSides.push_back(side);
        real().akViewer(side, buffer);
    }
    void keepOpenMatches() override {
        calls.push_back("KeepOpenMatches");
        real().keepOpenMatches();
    }
    std::string returnFileName(const char* out, const char* akFile) override {
        calls.push_back("_GetReturnFileName");
        return real().returnFileName(out, akFile);
    }

private:
    static versus::MatchCalls& real() { return versus::gameProcessor(); }
};

} // namespace vstest
