// The AK record's packed integers that sit off their natural alignment must
// still read and write the bytes at their documented offsets (the offsets
// themselves are pinned at compile time in the header).
#include "base/akrecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

struct IntField {
    const char* name;
    size_t offset;
    std::function<int32_t(const TArmoredKnight&)> get;
    std::function<void(TArmoredKnight&, int32_t)> set;
};

void putLe(unsigned char* p, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(u >> (8 * i));
}

int32_t getLe(const unsigned char* p) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= uint32_t{p[i]} << (8 * i);
    return static_cast<int32_t>(u);
}

} // namespace

TEST(AkRecord, OffAlignedIntegersMatchTheRawImage) {
    const std::vector<IntField> fields = {
        {"Sensor.Weight", 2714, [](auto& a) { return a.Sensor.Weight; },
         [](auto& a, int32_t v) { a.Sensor.Weight = v; }},
        {"Sensor.Defence", 2726, [](auto& a) { return a.Sensor.Defence; },
         [](auto& a, int32_t v) { a.Sensor.Defence = v; }},
        {"Mover.MoveBonus", 2810, [](auto& a) { return a.Mover.MoveBonus; },
         [](auto& a, int32_t v) { a.Mover.MoveBonus = v; }},
        {"Escape.EscapeBonus", 2918, [](auto& a) { return a.Escape.EscapeBonus; },
         [](auto& a, int32_t v) { a.Escape.EscapeBonus = v; }},
        {"Weapon[0].TotalAmmo", 3018, [](auto& a) { return a.Weapon[0].TotalAmmo; },
         [](auto& a, int32_t v) { a.Weapon[0].TotalAmmo = v; }},
        {"Weapon[2].Power[8]", 2922 + 480 + 140 + 32, [](auto& a) { return a.Weapon[2].Power[8]; },
         [](auto& a, int32_t v) { a.Weapon[2].Power[8] = v; }},
        {"Weapon[5].AmmoLeft", 4358, [](auto& a) { return a.Weapon[5].AmmoLeft; },
         [](auto& a, int32_t v) { a.Weapon[5].AmmoLeft = v; }},
        {"Turbo.StartMinute", 4454, [](auto& a) { return a.Turbo.StartMinute; },
         [](auto& a, int32_t v) { a.Turbo.StartMinute = v; }},
        {"Team.Mctl", 4794, [](auto& a) { return a.Team.Mctl; }, [](auto& a, int32_t v) { a.Team.Mctl = v; }},
        {"Team.TeamValue", 4802, [](auto& a) { return a.Team.TeamValue; },
         [](auto& a, int32_t v) { a.Team.TeamValue = v; }},
        {"Comments[3].Mode", 4806 + 3 * 258 + 256, [](auto& a) { return int32_t{a.Comments[3].Mode}; },
         [](auto& a, int32_t v) { a.Comments[3].Mode = static_cast<int16_t>(v); }},
        {"hasMatchData", 8934, [](auto& a) { return a.hasMatchData; },
         [](auto& a, int32_t v) { a.hasMatchData = v; }},
    };
    for (const IntField& f : fields) {
        SCOPED_TRACE(f.name);
        const bool isMode = std::strstr(f.name, "Mode") != nullptr;
        const int32_t value = isMode ? -2 : -123456789;

        // Raw image -> member.
        std::vector<unsigned char> image(sizeof(TArmoredKnight), 0xEE);
        if (isMode) {
            image[f.offset] = 0xFE;
            image[f.offset + 1] = 0xFF;
        } else {
            putLe(image.data() + f.offset, value);
        }
        TArmoredKnight ak;
        std::memcpy(&ak, image.data(), image.size());
        EXPECT_EQ(f.get(ak), value);

        // Member -> raw image, neighbours untouched.
        TArmoredKnight zero{};
        f.set(zero, value);
        std::vector<unsigned char> out(sizeof(TArmoredKnight));
        std::memcpy(out.data(), &zero, out.size());
        const size_t width = isMode ? 2 : 4;
        if (isMode)
            EXPECT_EQ(out[f.offset] | (out[f.offset + 1] << 8), 0xFFFE);
        else
            EXPECT_EQ(getLe(out.data() + f.offset), value);
        for (size_t i = 0; i < out.size(); ++i) {
            if (i < f.offset || i >= f.offset + width) {
                ASSERT_EQ(out[i], 0) << "byte " << i;
            }
        }
    }
}
