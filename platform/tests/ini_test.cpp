#include "platform/ini.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

TEST(Ini, ReadsSectionsKeysAndDefaults) {
    auto ini = plat::IniFile::fromText("; comment\r\n[Images]\r\nSplash = \"my pic.bmp\" \r\nsplash=second\r\n"
                                       "[Splash]\r\nTimer=1500\r\nBad=12ms\r\n[color]\r\nSplash_Title=0x000000ff\r\n");
    EXPECT_EQ(ini.readString("images", "SPLASH", "def"), "my pic.bmp");
    EXPECT_EQ(ini.readInteger("Splash", "Timer", 2000), 1500);
    EXPECT_EQ(ini.readInteger("Splash", "Bad", 2000), 2000);
    EXPECT_EQ(ini.readInteger("Splash", "Missing", 2000), 2000);
    EXPECT_EQ(ini.readString("Color", "Splash_Title", ""), "0x000000ff");
    EXPECT_EQ(ini.readString("Nothing", "x", "d"), "d");
}

TEST(Ini, MissingFileGivesDefaults) {
    plat::IniFile ini("/nonexistent/theme.ini");
    EXPECT_FALSE(ini.loaded());
    EXPECT_EQ(ini.readInteger("Splash", "Timer", 2000), 2000);
}
