#include "platform/loader.h"
#include "platform/paths.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

TEST(Loader, MapsWindowsNames) {
    EXPECT_EQ(plat::mapLibraryName("kwph.dll"), "libkwph.so");
    EXPECT_EQ(plat::mapLibraryName("BRAWLALL.DLL"), "libbrawlall.so");
    EXPECT_EQ(plat::mapLibraryName("VELL_AK.dll"), "libvell_ak.so");
    EXPECT_EQ(plat::mapLibraryName("Vell.exe"), "vell");
    EXPECT_EQ(plat::mapLibraryName("libfoo.so"), "libfoo.so");
}

TEST(Loader, LoadsByLogicalNameAndBindsSymbols) {
    plat::Library lib;
    ASSERT_TRUE(lib.load(LOADER_TEST_DIR, "LoaderTest.DLL", {"LoaderTestAnswer"})) << lib.error();
    auto f = lib.function<int (*)()>("LoaderTestAnswer");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f(), 42);
    EXPECT_EQ(lib.symbol("NoSuchSymbol"), nullptr);
}

TEST(Loader, MissingLibraryOrSymbolIsAFailure) {
    plat::Library missing;
    EXPECT_FALSE(missing.load(LOADER_TEST_DIR, "absent.dll"));
    EXPECT_FALSE(missing.loaded());
    EXPECT_EQ(missing.logicalName(), "absent.dll");

    plat::Library partial;
    EXPECT_FALSE(partial.load(LOADER_TEST_DIR, "loadertest.dll", {"LoaderTestAnswer", "NotThere"}));
    EXPECT_FALSE(partial.loaded());
    EXPECT_NE(partial.error().find("NotThere"), std::string::npos);
}

// No library is loaded from the game master's data: the program folder that
// callers name stands for the library folder, and the folders differ.
TEST(Loader, TheProgramFolderMeansTheLibraryFolder) {
    testsupport::TempDir data;
    plat::setProgramFolder(data.folder());
    plat::setLibraryFolder(LOADER_TEST_DIR);
    plat::Library lib;
    EXPECT_TRUE(lib.load(data.path().string(), "LoaderTest.DLL", {"LoaderTestAnswer"})) << lib.error();
    EXPECT_TRUE(lib.load("", "LoaderTest.DLL")) << lib.error();
    // Any other folder is taken as given.
    plat::setLibraryFolder(data.folder());
    EXPECT_TRUE(lib.load(LOADER_TEST_DIR, "LoaderTest.DLL")) << lib.error();
}
