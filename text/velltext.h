// The text processor's entries, exported under their own names with C
// signatures, and the one record that crosses the library boundary: the
// DigestEntry of a match read back from a digest file.
//
// Value lists (char** values): the texts of the field codes "%00" to "%99".
// A list holds at most 30 texts, the list the configuration manager passes;
// a null entry ends it early, and a field code past its end is an empty text.
//
// Message tables: records of the configuration manager's table, slot 0 the
// built-in entry; a count is the number of user entries, so the rows list
// slots 1 to count. A count above the table's size (49 announcers, 199
// pilots, 99 computers) is taken as that size.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "platform/export.h"

#include <stddef.h>
#include <stdint.h>

#pragma pack(push, 1)

// One digested match. All entries of a load live in one block that
// UnloadMomoFile empties whole. Next is the byte distance from this entry to
// the next one of its chain (0 at the end), so the record keeps its 676-byte
// layout in a 64-bit process; DigestNext() follows it.
struct DigestEntry {
    int32_t Next;
    char Name1[80]; // first side: pilot name
    char Text1[80]; // first side: the text after "／" (the owner)
    char Name2[80];
    char Text2[80];
    int16_t Year; // two digits
    int16_t Month;
    int16_t Day;
    int16_t Hour;
    int16_t Minute;
    int16_t Second;
    char Path[80];     // the digest file
    char Minutes[256]; // the minutes line
    int32_t Mark;      // first side: 0 win, 1 loss, 2 draw
};

#pragma pack(pop)

static_assert(sizeof(DigestEntry) == 676);
static_assert(offsetof(DigestEntry, Name1) == 4 && offsetof(DigestEntry, Text1) == 84 &&
              offsetof(DigestEntry, Name2) == 164 && offsetof(DigestEntry, Text2) == 244);
static_assert(offsetof(DigestEntry, Year) == 324 && offsetof(DigestEntry, Month) == 326 &&
              offsetof(DigestEntry, Day) == 328 && offsetof(DigestEntry, Hour) == 330 &&
              offsetof(DigestEntry, Minute) == 332 && offsetof(DigestEntry, Second) == 334);
static_assert(offsetof(DigestEntry, Path) == 336 && offsetof(DigestEntry, Minutes) == 416 &&
              offsetof(DigestEntry, Mark) == 672);

// The entry after e in its chain, or null.
inline DigestEntry* DigestNext(const DigestEntry* e) {
    if (!e || e->Next == 0) return nullptr;
    return reinterpret_cast<DigestEntry*>(const_cast<char*>(reinterpret_cast<const char*>(e)) + e->Next);
}

// Size of the second record of a profile file (kept, never read).
inline constexpr size_t ProfileSecondSize = 8408;

// ---- Text templates --------------------------------------------------------

// The user picks a "reg*.fmt" template of programFolder + "Format" and an
// output file; the output is written anew. 1 written, 0 cancelled or failed.
VELL_EXPORT int OutGameRegulation(const char* programFolder, char** values);
// The same with a "msg*.fmt" template and its "!A", "!C", "!P" table lines.
VELL_EXPORT int OutExtMessageTable(const char* programFolder, char** values, const AnnouncerEntry* announcers,
                                   int announcerCount, const MsgEntry* pilotEntries, int pilotCount,
                                   const MsgEntry* computerEntries, int computerCount);
// Appends the expanded template to the output file. 1 written, 0 when a file
// cannot be opened (the output is then left as it was).
VELL_EXPORT int ReplaceTextFormat(const char* templatePath, const char* outputPath, char** values);
// Expands the "%NN" codes of one text into out (which holds 2048 bytes; the
// result is cut on a character boundary to 2047) and cuts it at its first
// Ctrl-Z. Always 0.
VELL_EXPORT int ReplaceStringFormat(const char* in, char* out, char** values);

// ---- Digests and profile files ----------------------------------------------

// Reads the matches of a digest file. *head receives the first entry only
// when it is null on entry. 0 read; 1 the file cannot be opened.
VELL_EXPORT int LoadMomoFile(const char* path, DigestEntry** head);
// Releases every entry of every load. Always 0.
VELL_EXPORT int UnloadMomoFile();
// Both records zero-filled, then read. 0 read; 1 the file cannot be opened.
// A null pointer skips its record.
VELL_EXPORT int LoadProfFile(const char* path, TArmoredKnight* ak, void* second);
// 0 written; 1 the file cannot be created (it is then left as it was). A null
// second record is written as zeros.
VELL_EXPORT int SaveProfFile(const char* path, const TArmoredKnight* ak, const void* second);
// The Pilot.Name of the file's AK image into out (80 bytes). 0, or 1 when the
// file cannot be opened.
VELL_EXPORT int GetPilotName(const char* path, char* out);
// Splits a result line of a digest into name and text (80 bytes each).
// Returns the mark: 0 "○", 1 "×", 2 "△"; -1 (both emptied) without one.
VELL_EXPORT int ParseResultLine(const char* line, char* name, char* text);
