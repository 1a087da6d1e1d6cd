#include "base/sjis.h"
#include "core/emit.h"
#include "core/queue.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

// The conversions of the system's texts are written as printf writes them.
TEST(TextScan, FormatTextWritesWhatPrintfWrites) {
    EXPECT_EQ(cv::FormatText("%-5s|%3d|%+ld|%06x|%%|%s", "ab", -5, 7L, 255u, ""), "ab   | -5|+7|0000ff|%|");
    EXPECT_EQ(cv::FormatText("%-*s|%*s|%05d|%+2d|% d", 4, "x", 3, "y", -42, 0, 3), "x   |  y|-0042|+0| 3");
    EXPECT_EQ(cv::FormatText("%1d:%-3s", 12, "abcd"), "12:abcd"); // a field never cuts
    EXPECT_EQ(cv::FormatText("%ld %d", -2147483649L, -2147483647 - 1), "-2147483649 -2147483648");
    EXPECT_EQ(cv::FormatText("no directive"), "no directive");
    // Longer than the direct path's buffer: the C library writes it, the same.
    std::string longText(1500, 'a');
    EXPECT_EQ(cv::FormatText("%s|%-1100s|%d", longText.c_str(), "b", 5),
              longText + "|b" + std::string(1099, ' ') + "|5");
    // Others go to the C library: precision, characters, floating point.
    EXPECT_EQ(cv::FormatText("%.2s|%c|%.1f", "abc", 'z', 2.25), "ab|z|2.2");

    const char* formats[] = {"%d",   "%5d",    "%-5d", "%05d",  "%+5d", "%+05d",
                             "% 4d", "%-+6d|", "%3x",  "%-4x|", "%06x"};
    for (const char* format : formats) {
        for (int v : {0, 1, -1, 7, -7, 12345, -123456, 2147483647, -2147483647 - 1}) {
            char expected[64];
            std::snprintf(expected, sizeof expected, format, v);
            EXPECT_EQ(cv::FormatText(format, v), expected) << format << " " << v;
        }
    }
    for (const char* format : {"%s", "%4s", "%-4s|", "%-18s|"})
        for (const char* v : {"", "ab", "\x83\x5C\x83\x41", "longer than eighteen bytes"}) {
            char expected[64];
            std::snprintf(expected, sizeof expected, format, v);
            EXPECT_EQ(cv::FormatText(format, v), expected) << format << " " << v;
        }
}

// FullWidth puts the forms of han2Zen together digit by digit.
TEST(TextScan, FullWidthNumbers) {
    EXPECT_EQ(cv::FullWidth(305), testsupport::sj("３０５"));
    for (int64_t v : {int64_t{0}, int64_t{-7}, int64_t{1234567890123}, INT64_MIN, INT64_MAX})
        EXPECT_EQ(cv::FullWidth(v), sjis::han2Zen(std::to_string(v))) << v;
}
