// Shared set-up of the battle royal's tests: AK files made from the sample
// AKs with an emblem and tag texts (start cell, enemies...) in the pilot's
// profile, and the conf of a battle royal over the scratch folders.
#pragma once

#include "akdata/akfile.h"
#include "base/sjis.h"
#include "modes/frame/tests/modetest.h"

#include <gtest/gtest.h>

#include <string>

namespace royaltest {

// Writes <scratch>/ak/<name> from sample AK n with the emblem and the text
// added to the pilot's profile (both UTF-8).
inline void writeAk(const std::filesystem::path& akFolder, const std::string& name, int sample,
                    const char* emblem, const char* profileTags) {
    TArmoredKnight ak{};
    ASSERT_EQ(akdata::loadAkData(ak, modetest::programDir() + "AkData/" + modetest::sampleFile(sample)),
              akdata::LoadOk);
    sjis::writeField(ak.Pilot.Emblem, testsupport::sj(emblem));
    std::string profile(sjis::readField(ak.Pilot.Profile));
    sjis::writeField(ak.Pilot.Profile, profile + testsupport::sj(profileTags));
    ASSERT_EQ(akdata::saveAkData(ak, (akFolder / name).string()), 0);
}

// The conf of the battle royal tests: the frame's test conf with its name,
// game form 2 and the options the set-up window forces.
inline void royalConf(GameSettings& settings, ConfHeader& header) {
    sjis::writeField(header.ConfName, testsupport::sj("テストロイヤル"));
    sjis::writeField(header.ConfMemo, testsupport::sj("乱戦"));
    header.GameForm = 2;
    settings.Options[OptImmobileDraw] = 1;
    settings.Options[Opt17] = 1;
}

} // namespace royaltest
