#include "base/outputak.h"

#include <gtest/gtest.h>

TEST(OutputAk, OnlyTheExtensionsTheGameProcessorWrites) {
    for (const char* name : {"ak01.da1", "ak01.DA9", "ak01.Da10", "x.y.da98", "noext.da1"})
        EXPECT_TRUE(ak::isOutputAkName(name)) << name;
    // A player's file, numbers never written, other letters, no extension.
    for (const char* name : {"ak01.dat", "ak01.DAT", "ak01.da0", "ak01.da01", "ak01.da99", "ak01.da100",
                             "ak01.dab", "ak01.da", "ak01.da1x", "da1", "ak01.da1.txt"})
        EXPECT_FALSE(ak::isOutputAkName(name)) << name;
}
