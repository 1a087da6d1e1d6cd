// The exported calls of the AK data library (libvell_ak.so), under the
// names and C signatures the game processor, the plug-in common library and
// the game-mode plug-ins use. Records and buffers belong to the caller.
//
// Results: the loaders 0 read, 1 the file cannot be opened, 2 a bad first
// line; the checks the number of problems found. Text outputs of the sheets
// and checks (CheckAkData, CheckAkData2, MakeAkDetail, MakePartsDetail,
// MakePilotInf, MakeWpDetail1/2) never exceed 2048 bytes with the NUL and
// end after the last whole line that fits; the caller's buffer holds 2048.
// Part tables handed in are null-ended; tables the Load...Data calls fill
// need room for 101 pointers (800 for LoadWpData).
#pragma once

#include "akdata/catalog.h"
#include "base/akrecord.h"
#include "platform/export.h"

#include <cstdint>

using akdata::FrameCatalogEntry;
using akdata::PartCatalogEntry;
using akdata::WpDataRecord;

// AK data file.
VELL_EXPORT int LoadAkData(TArmoredKnight* ak, const char* path);
VELL_EXPORT int SaveAkData(const TArmoredKnight* ak, const char* path);
VELL_EXPORT int CalcAkParam(TArmoredKnight* ak);

// Catalogs.
VELL_EXPORT int LoadWeapon(const char* folder);
VELL_EXPORT int UnloadWpData();
VELL_EXPORT int LoadWpData(const char* path, WpDataRecord** table);
VELL_EXPORT int GetWpDataInfo(int* count, char** names);
VELL_EXPORT int SetWpDataInfo(int count, char* names);
VELL_EXPORT int LoadFrameData(const char* path, FrameCatalogEntry** table);
VELL_EXPORT int LoadEngineData(const char* path, PartCatalogEntry** table);
VELL_EXPORT int LoadArmorData(const char* path, PartCatalogEntry** table);
VELL_EXPORT int LoadCompData(const char* path, PartCatalogEntry** table);
VELL_EXPORT int LoadDiskData(const char* path, PartCatalogEntry** table);
VELL_EXPORT int LoadSenData(const char* path, PartCatalogEntry** table);
VELL_EXPORT int LoadMoveData(const char* path, PartCatalogEntry** table);
VELL_EXPORT int LoadEscData(const char* path, PartCatalogEntry** table);
VELL_EXPORT int LoadTurboData(const char* path, PartCatalogEntry** table);

// Entry checks.
VELL_EXPORT int CheckMustItem(TArmoredKnight* ak);
VELL_EXPORT int CheckAkData(TArmoredKnight* ak, char* report);
VELL_EXPORT int CheckAkData2(TArmoredKnight* ak, const char* version, FrameCatalogEntry** frames,
                             PartCatalogEntry** engines, PartCatalogEntry** armours,
                             PartCatalogEntry** computers, PartCatalogEntry** disks,
                             PartCatalogEntry** sensors, PartCatalogEntry** movers,
                             PartCatalogEntry** escapes, PartCatalogEntry** turbos, WpDataRecord** weapons,
                             char* report);
VELL_EXPORT int CheckAkWeight(TArmoredKnight* ak, FrameCatalogEntry** frames, WpDataRecord** weapons,
                              int* flags);

// Derived values.
VELL_EXPORT int CalkAkPrice(TArmoredKnight* ak);
VELL_EXPORT int GetMctl2Dex(int mctl);
VELL_EXPORT int CalcHakuhei(const char* attributes, int value);
VELL_EXPORT int CalcWpWeight(TAkWeapon* slot);
VELL_EXPORT int CalcWpRespMove(TArmoredKnight* ak, int* reactions, int* movements);

// Sheets, file-head summary and trigger lists. MakePartsDetail takes the
// kind's three tables: 0 frames, engines, armours; 1 computers, disks,
// sensors; 2 escapes, movers, turbos. MakeWpDetail1 takes a 0-based index
// into a null-ended weapon table (LoadWpData ends its table with a null when
// fewer than 800 records were read); an index at or past the null shows
// nothing.
VELL_EXPORT int MakeDigest(const char* folder, const char* file, int* machineValue, char* pilotName,
                           char* ownerName, char* ownerId);
VELL_EXPORT int MakePilotInf(const int* options, const char* conditionText, const char* title,
                             const TArmoredKnight* ak, const char* titleTail, char* out);
VELL_EXPORT int MakeAkDetail(const TArmoredKnight* ak, int kind, char* out);
VELL_EXPORT int MakePartsDetail(const TArmoredKnight* ak, int kind, void* table1, void* table2, void* table3,
                                char* out);
VELL_EXPORT int MakeWpDetail1(char* out, WpDataRecord** table, int index, int markA, int markP,
                              int markImproved);
VELL_EXPORT int MakeWpDetail2(char* out, const TAkWeapon* slot, int markA, int markP, int markImproved);
VELL_EXPORT int LoadTrigger(const char* file1, const char* file2, const char* file3, void** block);
VELL_EXPORT int UnloadTrigger();

// Shift-JIS helpers.
VELL_EXPORT int CnvHan2Zen(const char* src, char* dst);
VELL_EXPORT int CnvZen2Han(const char* src, char* dst);
VELL_EXPORT int CnvNameStr(const char* src, int n, char* dst);
