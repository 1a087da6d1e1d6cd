// The first file of the current match that could not be created or written:
// a log, the digest or an output AK file. It is reported at once, message
// 41020 for a log or the digest and 41021 for an AK file, naming it; later
// failures of the same match stay quiet, so a disk that fills up meets the
// game master once per match instead of once per file. The first failure
// takes back every file the matches in progress wrote (matchfiles.h), and
// the match writes no file after it. StartMatch starts every match afresh.
// The plug-ins read it after a match (GetOutputFault) and stop their event.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cv {

inline constexpr int32_t CannotWriteOutput = 41020; // a log or the digest
inline constexpr int32_t CannotCreateAkFile = 41021;

struct OutputFault {
    int32_t Message = 0; // 0 while every file was written
    std::string Path;
};

// Shows `message` naming `path` when it is the match's first failed file,
// keeps it and takes back the matches' files; nothing otherwise.
void ReportFailedFile(int32_t message, std::string_view path);
// A new match: no file has failed.
void ClearFailedFile();
const OutputFault& FailedFile();

} // namespace cv
