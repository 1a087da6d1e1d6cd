// Profile files: the raw 8938-byte image of a TArmoredKnight followed by a
// second record of 8408 bytes that belongs to the outside tools using these
// files; it is stored and handed back unread. A short file leaves the rest
// of both records zero.
#pragma once

#include "base/akrecord.h"

#include <string>
#include <string_view>

namespace vtext {

// 0 read; 1 the file cannot be opened. Null records are skipped.
int loadProfFile(std::string_view path, TArmoredKnight* ak, void* second);
// 0 written; 1 the file cannot be created (an old file stays as it was). A
// null second record is written as zeros; a null AK writes nothing.
int saveProfFile(std::string_view path, const TArmoredKnight* ak, const void* second);
// 0 and the pilot's name of the file's AK image; 1 when it cannot be opened.
int getPilotName(std::string_view path, std::string& name);

} // namespace vtext
