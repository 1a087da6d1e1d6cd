// The AK list's rows and their order.
#include "modes/frame/akrows.h"

#include "base/sjis.h"
#include "modes/frame/imports.h"
#include "modes/frame/textfmt.h"
#include "platform/files.h"

#include <algorithm>
#include <cstdlib>

namespace modes {

const std::string& AkRow::column(int c) const {
    switch (c) {
    case ColPilot:
        return Pilot;
    case ColValue:
        return Value;
    case ColOwner:
        return Owner;
    case ColOwnerId:
        return OwnerId;
    default:
        return File;
    }
}

std::vector<AkRow> listAkRows(std::string_view folder, std::string_view mask) {
    std::vector<AkRow> rows;
    std::string withSeparator = joinFolder(folder, "");
    for (std::string& name : plat::listFolder(folder, mask)) {
        if (!plat::isRegularFile(joinFolder(folder, name))) continue;
        int value = 0;
        char pilot[80] = {}, owner[80] = {}, ownerId[80] = {};
        MakeDigest(withSeparator.c_str(), name.c_str(), &value, pilot, owner, ownerId);
        AkRow row;
        row.File = std::move(name);
        row.Pilot = sjis::readField(pilot);
        row.Value = format("%d", value);
        row.Owner = sjis::readField(owner);
        row.OwnerId = sjis::readField(ownerId);
        rows.push_back(std::move(row));
    }
    return rows;
}

int compareAkRows(const AkRow& a, const AkRow& b, int column) {
    if (column == ColValue) {
        long x = std::atol(a.Value.c_str()), y = std::atol(b.Value.c_str());
        return x < y ? -1 : x > y ? 1 : 0;
    }
    // std::string compares char_traits<char>, which orders bytes unsigned.
    return a.column(column).compare(b.column(column));
}

void AkListSort::click(int column) {
    if (column == column_) {
        descending_ = !descending_;
    } else {
        column_ = column;
        descending_ = false;
    }
}

void AkListSort::apply(std::vector<AkRow>& rows) const {
    if (column_ < 0) return;
    std::stable_sort(rows.begin(), rows.end(), [this](const AkRow& a, const AkRow& b) {
        int c = compareAkRows(a, b, column_);
        return descending_ ? c > 0 : c < 0;
    });
}

} // namespace modes
