// A game-mode library for the launch tests: GameStart writes what it was
// given to "gamestart.txt" in the program folder.
#include "base/aksourcelist.h"
#include "base/confrecords.h"

#include <cstdio>
#include <string>

extern "C" __attribute__((visibility("default"))) int
GameStart(const char* programFolder, GameSettings* settings, ConfHeader* header, AkSourceList* list, void*) {
    std::string path = std::string(programFolder) + "gamestart.txt";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fprintf(f, "%d\n%s\n%s\n%s\n%s\n%s\n%d\n", settings->OutputColumns, header->ConfName,
                 header->AkInputFolder, header->AkOutputFolder, header->ResultFolder,
                 header->WeaponDataFolder, list->Count);
    for (int i = 1; i < list->Count && i < 20; ++i)
        std::fprintf(f, "%s=%s\n", list->Names[i], list->Paths[i]);
    std::fclose(f);
    return 1;
}
