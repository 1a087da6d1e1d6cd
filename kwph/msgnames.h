// Message types. The archive stores no type: it follows from a message
// file's name, which must be on one of three fixed lists. Type 0 files are
// read in sequence and kept as they are; types 1 and 2 are drawn at random
// and are fixed-width records of 80 and 240 bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kwp {

enum MsgType : int { kUnknownType = -1, kSequential = 0, kRandom80 = 1, kRandom240 = 2 };

// The type of a name (without ".MSG"): cut at its first blank or NUL, or
// after 8 bytes, and looked up ignoring case in the lists of types 0, 1, 2.
int classifyMsgName(std::string_view name);

// The type of a message file's base name when it is one Pack may store: 1-8
// bytes of [A-Za-z0-9_] on one of the lists; else -1 ("play_ana2" is no
// PLAY_ANA).
int classifyFileBase(std::string_view base);

// The listing label of a type: "Sequential", "Random(80)", "Random(240)",
// "unknown".
const char* msgTypeLabel(int type);

// The record width that types 1 and 2 are padded to and checked against (0
// for other types).
size_t msgRecordWidth(int type);

// The names of one list, lower case (for tests and tools).
const std::vector<std::string>& msgNameList(int type);

} // namespace kwp
