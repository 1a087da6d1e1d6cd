// main() of the tests that show windows: the scratch home, then one
// QApplication for the whole run, created before the first test and
// destroyed before the program exits.
#include "testsupport/testsupport.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testsupport::useScratchHome(argc, argv);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
