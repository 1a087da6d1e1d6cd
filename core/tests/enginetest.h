// Shared pieces of the engine's tests: a fixture that gives the module a
// GameSettings record and a message buffer of its own, scripted d100 rolls
// that fail the test when rolls are left over or missing, and two sample
// AKs whose derived values the tests work out by hand.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "base/sjis.h"
#include "core/dice.h"
#include "core/queue.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

namespace enginetest {

using testsupport::sj;

// Writes the CP932 form of a UTF-8 text into a record's text field.
template <size_t N> void put(char (&field)[N], const char* utf8) {
    sjis::writeField(field, sj(utf8));
}

// The module's current settings are `gs` for the length of a test; the
// placeholder tables start empty.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void option(int flag, bool on = true) { gs.Options[flag] = on ? 1 : 0; }
    // Line i of the buffer as UTF-8, for readable comparisons.
    std::string line(size_t i) const;

    GameSettings gs{};
    std::unique_ptr<cv::GameMessageBuffer> owned = std::make_unique<cv::GameMessageBuffer>();
    cv::GameMessageBuffer& buf = *owned;
};

// The given d100 rolls, in order; a missing or left-over roll fails the test.
class Rolls {
public:
    Rolls(std::initializer_list<int> rolls);

private:
    cv::ScriptedDice dice_;
};

// Sample AK 1: a medium AK with a rifle, a two-handed sword (no grip bonus)
// and a thruster pack; computer level 3 with the program "Ｌ３Ｗ２".
TArmoredKnight SampleAk1();
// Sample AK 2: a light AK with two two-handed weapons (the second with a
// grip bonus), no emblem of its own and a level-1 program without "／".
TArmoredKnight SampleAk2();

} // namespace enginetest
