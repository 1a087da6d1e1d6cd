// A stand-in for the text processor, copied into a test's program folder as
// libvelltext.so: it writes what it was called with into files of the
// program folder instead of asking for a template, so that the tests can see
// the values the dialogs hand over.
#include "base/confrecords.h"

#include <cstdio>
#include <string>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::FILE* openIn(const char* folder, const char* name) {
    return std::fopen((std::string(folder ? folder : "") + name).c_str(), "wb");
}

} // namespace

// "<index>=<text>" for each of the 30 values.
FAKE_EXPORT int OutGameRegulation(const char* programFolder, char** values) {
    std::FILE* f = openIn(programFolder, "regulation.txt");
    if (!f) return 0;
    for (int i = 0; i < 30; ++i) std::fprintf(f, "%d=%s\n", i, values[i] ? values[i] : "(null)");
    std::fclose(f);
    return 1;
}

// The three counts, then the name of the last pilot and the last computer.
FAKE_EXPORT int OutExtMessageTable(const char* programFolder, char** values, AnnouncerEntry* announcers,
                                   int announcerCount, MsgEntry* pilots, int pilotCount, MsgEntry* computers,
                                   int computerCount) {
    std::FILE* f = openIn(programFolder, "msgtable.txt");
    if (!f) return 0;
    for (int i = 0; i < 30; ++i)
        if (!values[i] || values[i][0]) std::fprintf(f, "value %d not empty\n", i);
    std::fprintf(f, "A%d P%d C%d", announcerCount, pilotCount, computerCount);
    if (announcerCount > 0) std::fprintf(f, " %.31s", announcers[announcerCount].Id);
    if (pilotCount > 0) std::fprintf(f, " %.31s", pilots[pilotCount].Id);
    if (computerCount > 0) std::fprintf(f, " %.31s", computers[computerCount].Id);
    std::fprintf(f, "\n");
    std::fclose(f);
    return 1;
}
