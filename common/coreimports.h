// The game processor's calls that this library makes (libcvcore.so, linked
// at build time), declared under their exported names and C signatures.
#pragma once

#include "core/cvexports.h"
