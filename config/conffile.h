// Conf files: one GameSettings followed by one ConfHeader, raw, 6161 bytes.
// A conf is created with the defaults of a new event or copied from another
// conf, read whole (a shorter file counts as missing, so a partly filled
// record is never used), rewritten through a temporary file and rename, and
// given new folders by the folder dialog's bulk change. Reads and writes move
// the raw image, so a conf read and written back keeps every byte, the
// run-time area, the reserved bytes and unknown flags included.
#pragma once

#include "base/confrecords.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cnf {

inline constexpr size_t ConfFileSize = sizeof(ConfFile);
inline constexpr size_t HeaderOffset = offsetof(ConfFile, Header);

// The conf of a new event: every field zero except the defaults of the
// settings dialog ("大会名", 76 columns, digest mode 3, 20 minutes, the ten
// option flags that start on...).
ConfFile newConf();

// The image of a conf file: its first 6161 bytes; nullopt when it is shorter.
std::optional<ConfFile> confFromBytes(std::string_view bytes);
std::string confToBytes(const ConfFile& conf);

// Reads the conf at `path` (relative to the program folder unless absolute).
// A file that is missing, unreadable or shorter than a conf gives nullopt
// and, when `report` is set, message 41042 (cannot be opened) or 41043
// naming the file (there, but too short for a conf).
std::optional<ConfFile> readConf(std::string_view programFolder, std::string_view path, bool report = true);

// Rewrites a conf whole: a temporary file in the same folder, renamed over
// the old one once complete. False (old file kept) on any failure.
bool writeConf(std::string_view programFolder, std::string_view path, const ConfFile& conf);

// Creates a new conf file "Config\VLCNF??????" under the program folder and
// stores its relative path in rec.ConfPath. Without a source the conf gets
// the defaults; with one it is a copy of that conf, read completely before
// anything is created. The name is reserved exclusively, unlike any entry of
// Config ignoring case. On failure (the source's message, 41042 when no
// name can be had in Config, 41023 when the file cannot be written) nothing
// is left behind and rec is unchanged.
bool createConfFile(std::string_view programFolder, ConfNodeRec& rec,
                    std::optional<std::string_view> sourcePath = std::nullopt);

// The four folder fields of the folder dialog's buffer, in header order.
inline constexpr size_t FolderOffsets[4] = {
    offsetof(ConfHeader, AkInputFolder), offsetof(ConfHeader, AkOutputFolder),
    offsetof(ConfHeader, ResultFolder), offsetof(ConfHeader, WeaponDataFolder)};
inline constexpr size_t FolderSize = sizeof(ConfHeader::AkInputFolder);

// Gives one conf the non-empty folders of `folders`: an absolute ConfPath
// under the program folder is made relative in the record first; the conf's
// folder fields are replaced (text, NUL, zeros) and no other byte of the file
// changes. A conf that cannot be read whole is skipped without a message.
// False when nothing was written.
bool applyConfFolders(ConfNodeRec& rec, std::string_view programFolder, const ConfHeader& folders);

// The conf of a conf node for the settings dialog: read, with the node's name
// as ConfName. nullopt (readConf's message shown) when it cannot be read.
std::optional<ConfFile> openConfOfNode(std::string_view programFolder, const ConfNodeRec& rec);
// After the dialog: writes the conf and copies ConfName and ConfMemo into the
// node's name and memo. False (41023 naming the file shown, node unchanged)
// when the file could not be written.
bool storeConfOfNode(std::string_view programFolder, ConfNodeRec& rec, const ConfFile& conf);

} // namespace cnf
