// main() of the tests without windows: the scratch home, then every test.
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testsupport::useScratchHome(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
