// Random access to single lines of an archive by message name and line
// number (counted from 1). Names are looked up as ArchiveView::lookupKey
// makes them. Every call reads and checks the archive anew.
#pragma once

#include "kwph/engine.h"

#include <string>
#include <string_view>

namespace kwp {

// The entry's line count; 0 on failure.
int countMsgLines(Engine& engine, std::string_view archive, std::string_view name);
// Line n decoded (mode 1) into `out`.
bool readMsgLine(Engine& engine, std::string& out, std::string_view archive, std::string_view name, int n);
// File offset of line n's length byte, of its stored text, and its stored
// length; 0 on failure (also for an offset above INT_MAX).
int lineLengthOffset(Engine& engine, std::string_view archive, std::string_view name, int n);
int lineTextOffset(Engine& engine, std::string_view archive, std::string_view name, int n);
int lineStoredLength(Engine& engine, std::string_view archive, std::string_view name, int n);

} // namespace kwp
