// Sample message files for the archive tests, written by code: a type 0 set
// file, a type 1 and a type 2 message file with Japanese text, and files Pack
// must leave alone.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kwtest {

struct SampleFile {
    std::string name;               // the file name as written
    std::vector<std::string> lines; // Shift-JIS, without line ends
};

// The files that pack: PLAY_ANA.MSG (type 0, trailing blanks kept),
// m01a0.msg (type 1, lines of exactly 80 bytes), M001H.MSG (type 2, 240).
std::vector<SampleFile> packedSamples();

// Writes the files with CR LF line ends, plus notes.msg and play_ana2.msg
// (no type) and readme.txt.
void writeSampleFolder(const std::filesystem::path& dir);

// The bytes of a message file: every line followed by CR LF.
std::string crlfText(const std::vector<std::string>& lines);

// A line padded with blanks to `width` bytes.
std::string padded(std::string line, size_t width);

} // namespace kwtest
