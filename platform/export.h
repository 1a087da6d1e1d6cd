// Symbol visibility. Every library is built with hidden visibility: the
// platform layer marks its C++ interface PLAT_API, and each deliverable marks
// the plain C functions it exports by name VELL_EXPORT.
#pragma once

#define PLAT_API __attribute__((visibility("default")))
#define VELL_EXPORT extern "C" __attribute__((visibility("default")))
