// Reading whole archives: unpacking into message files, the listing, and
// rewriting the comment.
#pragma once

#include "kwph/engine.h"

#include <string>
#include <string_view>

namespace kwp {

// Writes every entry as prefix + NAME + ".MSG" (lines decoded, CR LF ends;
// with pad, type 1 and 2 lines padded with blanks to 80 and 240 bytes). An
// entry name must be 1-8 bytes of [A-Za-z0-9_] after its trailing blanks and
// unique ignoring case, so that nothing but such a file is ever created.
bool unpack(Engine& engine, std::string_view prefix, std::string_view archive, bool pad);

// Lists the archive in the text window: comment, one line per entry with its
// sizes, totals, and a status line.
bool putMsgList(Engine& engine, std::string_view archive);

// Replaces the comment area of the archive's header in place.
bool setComment(Engine& engine, std::string_view archive, std::string_view comment);

// The file name an unpack creates for an entry name, or "" when the name is
// not one it may create.
std::string unpackName(std::string_view rawName);

} // namespace kwp
