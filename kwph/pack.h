// Packing a folder of message files (NAME.MSG) into a message archive.
//
// Only files whose base name is on the type lists are packed, in ascending
// order of their upper-cased names. Each line is prepared by its file's type
// and stored through the line codec (or, without it, as 0x09 and the text).
// The data is staged in a private file beside the archive, the archive is
// written to a second one and renamed over the old archive only once it is
// complete, so a failure never loses the old archive.
#pragma once

#include "kwph/engine.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kwp {

// The 64-byte comment area: the comment cut to at most 63 bytes on a
// character boundary, 0x1A, then blanks.
std::string commentArea(std::string_view comment);

struct MessageFile {
    std::string fileName; // as found in the folder
    std::string path;     // the folder and the file name, as the file is opened
    std::string base;     // the name without ".msg"
    int type = -1;
};

// The message files of `folder` that have a type, the folder taken as a
// folder whether or not it ends in a separator (an empty one is the
// program folder, as for any relative path),
// in ascending order of their upper-cased names. With refuseDuplicates, two
// names equal ignoring case fail with the second one's path. Fails with the
// pattern when there is none.
std::optional<std::vector<MessageFile>> findMessageFiles(Engine& engine, std::string_view folder,
                                                         bool refuseDuplicates);

// A line as it is stored for its type: type 0 as read, types 1 and 2 without
// their trailing blanks and control bytes.
std::string prepareLine(std::string_view line, int type);

// The stored form of a prepared line: the codec's (compress) or 0x09 and the
// text. When that is longer than an archive line can be, 0x09 and the text
// without its control bytes (it decodes to the same text); nullopt when that
// too is too long.
std::optional<std::string> storedForm(std::string_view line, bool compress);

bool pack(Engine& engine, std::string_view folder, std::string_view archive, std::string_view comment,
          bool compress);

} // namespace kwp
