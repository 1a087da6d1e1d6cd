// The version text of one of the system's files, for the modes' version
// texts ("BRAWLALL Ver.%s ").
#pragma once

#include <cstddef>
#include <string_view>

namespace cmn {

// The FileVersion of `file` ("X.DLL", a bare name in the program folder or
// an absolute path) copied into out (size bytes, cut on a character
// boundary; the empty text when the block has none). False when the file has
// no version block; out is then untouched.
bool fileVersion(std::string_view file, char* out, size_t size);

} // namespace cmn
