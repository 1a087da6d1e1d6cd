// Result-table pieces shared by the threaded modes.
#include "modes/frame/tables.h"

#include "base/sjis.h"
#include "modes/frame/textfmt.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sjis/frame_text.h"

namespace modes {

namespace {
constexpr int CannotCreateAkFile = 41021;
} // namespace

std::string memoText(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string eventHeading(const ConfHeader& header, const plat::clock::LocalTime& now) {
    std::string name(sjis::readField(header.ConfName)), memo(sjis::readField(header.ConfMemo));
    return format(text::EventHeading, name.c_str(), memo.c_str(), timeStamp(now).c_str());
}

std::string tableName(const GameSettings& settings, std::string_view name, size_t width) {
    return sjis::cutString(name, width, settings.Options[OptNoFullToHalf] != 0);
}

Lines entryTable(const ConfHeader& header, const GameSettings& settings, EntrantList& entrants,
                 const plat::clock::LocalTime& now, bool clearStatus) {
    Lines lines{eventHeading(header, now), text::EntryHeading, ruleLine(), text::EntryHeader, ruleLine()};
    int number = 0;
    for (Entrant& e : entrants) {
        EntryRecord* row = e.row();
        if (!row) continue;
        std::string owner = tableName(settings, sjis::readField(row->OwnerName), 16);
        std::string pilot = tableName(settings, sjis::readField(row->PilotName), 20);
        std::string sex = tableName(settings, sjis::readField(row->Sex), 10);
        int32_t age = row->Age, battles = row->Battles, wins = row->Wins, value = row->MachineValue;
        lines.push_back(format(text::EntryRow, ++number, owner.c_str(), pilot.c_str(), sex.c_str(), age,
                               battles, wins, value));
        row->Wins = 0;
        row->Stage = 0;
        row->OwnAkDestroyed = 0;
        row->OwnPilotKilled = 0;
        if (clearStatus) sjis::writeField(row->StatusText, "");
    }
    lines.push_back(ruleLine());
    return lines;
}

bool saveResultFile(std::string_view path, std::string_view text) {
    // The event's durability point: its match files reach the disk before
    // the result tables that name their outcomes. Output AK files the disk
    // failed to write back are reported, naming their folder.
    std::string failedFolder;
    if (!plat::syncDeferredWrites(&failedFolder)) plat::msg::showError(CannotCreateAkFile, {failedFolder});
    if (plat::writeWholeFileAtomic(path, text)) return true;
    plat::PathParts parts = plat::splitPath(path);
    plat::msg::showError(41020, {parts.name + parts.extension});
    return false;
}

} // namespace modes
