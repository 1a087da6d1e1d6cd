// Profile files: the AK image and the second record round trip byte for
// byte, short and missing files, the pilot's name, and writes that fail.
#include "text/profile.h"
#include "text/velltext.h"

#include "akdata/akfile.h"
#include "base/sjis.h"
#include "platform/files.h"
#include "textfixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using testsupport::readFile;
using testsupport::sj;
using testsupport::writeFile;

namespace {

TArmoredKnight sampleAk() {
    TArmoredKnight ak{};
    EXPECT_EQ(akdata::loadAkData(ak, (texttest::sampleData() / "AkData" / "ak01.dat").string()),
              akdata::LoadOk);
    return ak;
}

std::vector<unsigned char> pattern(size_t n) {
    std::vector<unsigned char> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<unsigned char>(i * 7 + 3);
    return v;
}

class Profile : public ::testing::Test {
protected:
    void TearDown() override { plat::setAtomicWriteFault(-1); }
    testsupport::TempDir dir;
    std::string path(const char* name) const { return (dir.path() / name).string(); }
};

} // namespace

TEST_F(Profile, BothRecordsRoundTripByteForByte) {
    const TArmoredKnight ak = sampleAk();
    const std::vector<unsigned char> second = pattern(ProfileSecondSize);
    ASSERT_EQ(vtext::saveProfFile(path("a.prf"), &ak, second.data()), 0);
    const std::string bytes = readFile(path("a.prf"));
    ASSERT_EQ(bytes.size(), sizeof(TArmoredKnight) + ProfileSecondSize);
    EXPECT_EQ(std::memcmp(bytes.data(), &ak, sizeof ak), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + sizeof ak, second.data(), ProfileSecondSize), 0);

    TArmoredKnight back;
    std::memset(&back, 0xEE, sizeof back);
    std::vector<unsigned char> secondBack(ProfileSecondSize, 0xEE);
    ASSERT_EQ(vtext::loadProfFile(path("a.prf"), &back, secondBack.data()), 0);
    EXPECT_EQ(std::memcmp(&back, &ak, sizeof ak), 0);
    EXPECT_EQ(secondBack, second);

    std::string name;
    ASSERT_EQ(vtext::getPilotName(path("a.prf"), name), 0);
    EXPECT_EQ(name, sjis::readField(ak.Pilot.Name));
    EXPECT_FALSE(name.empty());
}

TEST_F(Profile, ShortAndMissingFiles) {
    // A file that ends inside the AK image: the rest of both records is zero.
    const TArmoredKnight ak = sampleAk();
    writeFile(path("short.prf"), std::string_view(reinterpret_cast<const char*>(&ak), 800));
    TArmoredKnight back;
    std::memset(&back, 0xEE, sizeof back);
    std::vector<unsigned char> second(ProfileSecondSize, 0xEE);
    ASSERT_EQ(vtext::loadProfFile(path("short.prf"), &back, second.data()), 0);
    EXPECT_EQ(std::memcmp(&back, &ak, 800), 0);
    EXPECT_EQ(second, std::vector<unsigned char>(ProfileSecondSize, 0));
    TArmoredKnight zero{};
    EXPECT_EQ(std::memcmp(reinterpret_cast<const char*>(&back) + 800,
                          reinterpret_cast<const char*>(&zero) + 800, sizeof back - 800),
              0);

    // A name without its NUL (a raw image) ends with its field.
    TArmoredKnight raw{};
    std::memset(raw.Pilot.Name, 'n', sizeof raw.Pilot.Name);
    writeFile(path("raw.prf"), std::string_view(reinterpret_cast<const char*>(&raw), sizeof raw));
    std::string name;
    ASSERT_EQ(vtext::getPilotName(path("raw.prf"), name), 0);
    EXPECT_EQ(name, std::string(80, 'n'));

    std::memset(&back, 0xEE, sizeof back);
    EXPECT_EQ(vtext::loadProfFile(path("missing.prf"), &back, second.data()), 1);
    EXPECT_EQ(std::memcmp(&back, &zero, sizeof back), 0); // zero-filled all the same
    EXPECT_EQ(vtext::loadProfFile(dir.folder(), &back, nullptr), 1);
    EXPECT_EQ(vtext::getPilotName(path("missing.prf"), name), 1);
    EXPECT_EQ(name, "");
}

TEST_F(Profile, NullRecordsAndFailedWrites) {
    const TArmoredKnight ak = sampleAk();
    ASSERT_EQ(vtext::saveProfFile(path("b.prf"), &ak, nullptr), 0);
    const std::string bytes = readFile(path("b.prf"));
    ASSERT_EQ(bytes.size(), sizeof(TArmoredKnight) + ProfileSecondSize);
    EXPECT_EQ(bytes.substr(sizeof ak), std::string(ProfileSecondSize, '\0'));
    EXPECT_EQ(vtext::saveProfFile(path("c.prf"), nullptr, nullptr), 1);
    EXPECT_FALSE(std::filesystem::exists(path("c.prf")));

    // Only the second record wanted.
    std::vector<unsigned char> second(ProfileSecondSize, 1);
    ASSERT_EQ(vtext::loadProfFile(path("b.prf"), nullptr, second.data()), 0);
    EXPECT_EQ(second, std::vector<unsigned char>(ProfileSecondSize, 0));

    // A failing device leaves the old file whole; a missing folder fails.
    plat::setAtomicWriteFault(1000);
    EXPECT_EQ(vtext::saveProfFile(path("b.prf"), &ak, pattern(ProfileSecondSize).data()), 1);
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(readFile(path("b.prf")), bytes);
    EXPECT_EQ(vtext::saveProfFile(path("none/b.prf"), &ak, nullptr), 1);
    EXPECT_EQ(vtext::saveProfFile(dir.folder(), &ak, nullptr), 1);
}
