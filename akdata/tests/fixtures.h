// Fixtures of the AK data library tests: the committed samples, AK data
// files built from readable UTF-8 lines, and scratch weapon data folders
// made from the sample catalogs with bytes changed in code.
#pragma once

#include "base/akrecord.h"

#include <filesystem>
#include <string>
#include <vector>

namespace akfix {

// The committed sample program folder (data/), ending in '/'.
std::string dataDir();
std::string sampleBytes(const std::string& relative); // e.g. "AkData/ak01.dat"

// The lines of a sample AK data file as UTF-8, without line ends.
std::vector<std::string> sampleLines(const std::string& akName);
// UTF-8 lines converted to Shift-JIS, each ended by CR LF.
std::string crlf(const std::vector<std::string>& utf8Lines);

// A sample parsed (the test fails when it does not load).
TArmoredKnight sample(const std::string& akName);
// Sample lines with line n (1-based) replaced, parsed.
TArmoredKnight withLine(const std::string& akName, int n, const std::string& utf8Line);

// Copies data/WpData into dir (created).
void copySampleCatalog(const std::filesystem::path& dir);

// A TArmoredKnight text field as UTF-8, for readable comparisons.
template <size_t N> std::string u8field(const char (&field)[N]);

} // namespace akfix

#include "base/sjis.h"
#include "testsupport/testsupport.h"

template <size_t N> std::string akfix::u8field(const char (&field)[N]) {
    return testsupport::u8(sjis::readField(field));
}
