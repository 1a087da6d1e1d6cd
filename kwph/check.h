// The file check: lists a folder's message files and warns of every line of
// a type 1 or 2 file that is not exactly 80 or 240 bytes long.
#pragma once

#include "kwph/engine.h"

#include <string_view>

namespace kwp {

bool check(Engine& engine, std::string_view folder);

} // namespace kwp
