#include "textfixture.h"

#include "base/sjis.h"

using testsupport::sj;

namespace texttest {

ProgramFolder::ProgramFolder() : folder_(dir_.folder()) {
    std::filesystem::copy(sampleData() / "Format", dir_.path() / "Format",
                          std::filesystem::copy_options::recursive);
}

std::filesystem::path sampleData() {
    return std::filesystem::path(VELL_SOURCE_DATA);
}

std::vector<std::string> regulationValues() {
    std::vector<std::string> v(30);
    v[0] = sj("北辰スタジアム");
    v[1] = sj("北辰ネット運営");
    v[2] = sj("北辰杯 一騎打ち");
    v[3] = sj("月例の一対一戦。\r\n勝者には賞金３００Ｃｒ。参加機体は事前に登録してください。登録のない機体は"
              "出場できません。");
    v[10] = sj("タイム");
    v[11] = sj("２０分");
    v[12] = sj("なし");
    v[13] = sj("３００");
    v[14] = sj("２００");
    v[15] = sj("２０００");
    v[16] = sj("１０％");
    return v;
}

std::vector<AnnouncerEntry> sampleAnnouncers(int n) {
    static const char* const names[][3] = {
        {"基本アナウンサー", "アナ", "Msg\\announce.kwp"},
        {"実況の鉄さん", "鉄", "Msg\\tetsu.kwp"},
        {"解説の霧島", "霧島", "Msg\\kirishima.kwp"},
        {"場内放送", "場内", "Msg\\hall.kwp"},
    };
    std::vector<AnnouncerEntry> a(static_cast<size_t>(n) + 1);
    for (size_t i = 0; i < a.size(); ++i) {
        const auto& row = names[i % 4];
        sjis::writeField(a[i].Id, sj(row[0]));
        sjis::writeField(a[i].Name, sj(row[1]));
        sjis::writeField(a[i].Path, sj(row[2]));
    }
    return a;
}

namespace {

std::vector<MsgEntry> entries(int n, const char* const (*rows)[10], size_t rowCount) {
    std::vector<MsgEntry> m(static_cast<size_t>(n) + 1);
    for (size_t i = 0; i < m.size(); ++i) {
        const auto& row = rows[i % rowCount];
        sjis::writeField(m[i].Id, sj(row[0]));
        for (int k = 0; k < 4; ++k) {
            sjis::writeField(m[i].Trigger[k], sj(row[1 + k]));
            sjis::writeField(m[i].Words[k], sj(row[5 + k]));
        }
        sjis::writeField(m[i].Path, sj(row[9]));
    }
    return m;
}

} // namespace

std::vector<MsgEntry> samplePilots(int n) {
    static const char* const rows[][10] = {
        {"基本", "", "", "", "", "", "", "", "", "Msg\\pilot.kwp"},
        {"熱血", "熱血", "正義", "", "", "俺", "俺様", "", "", "Msg\\hot.kwp"},
        {"冷静", "冷静", "", "", "", "私", "わたくし", "", "", "Msg\\cool.kwp"},
    };
    return entries(n, rows, 3);
}

std::vector<MsgEntry> sampleComputers(int n) {
    static const char* const rows[][10] = {
        {"基本ＣＯＭ", "", "", "", "", "", "", "", "", "Msg\\computer.kwp"},
        {"執事", "ＣＯＭ執事", "執事", "", "", "ご主人様", "旦那様", "", "", "Msg\\butler.kwp"},
    };
    return entries(n, rows, 2);
}

} // namespace texttest
