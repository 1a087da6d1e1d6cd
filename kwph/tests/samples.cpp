// Sample message files (see samples.h).
#include "samples.h"

#include "testsupport/testsupport.h"

using testsupport::sj;

namespace kwtest {

std::string padded(std::string line, size_t width) {
    if (line.size() < width) line.resize(width, ' ');
    return line;
}

std::string crlfText(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

std::vector<SampleFile> packedSamples() {
    SampleFile ana{"PLAY_ANA.MSG",
                   {sj("#アナウンサー　標準"), "# header", "", sj("「ＧＯ！」とアーマーが叫んだ。"),
                    sj("Aあア漢GH、ｶ"), sj("％Ｓの勝利です！  "), "ABCDEF ghij 0123 (ok) [x] {y}",
                    sj("ｶｷｸｹｺ ﾊﾟﾋﾟ"), sj("’＾‘￣ ＆＠￥")}};
    SampleFile random80{"m01a0.msg", {}};
    for (const char* t : {"%sの攻撃！", "ＡＫ「%s」が前進する。", "Hit! %d damage", "ヴァイオレットの一撃"})
        random80.lines.push_back(padded(sj(t), 80));
    SampleFile random240{"M001H.MSG", {}};
    for (const char* t : {"長い説明文：%sは装甲を貫いた。", "ｶﾀｶﾅとカタカナとかたかな", "0123456789"})
        random240.lines.push_back(padded(sj(t), 240));
    return {ana, random80, random240};
}

void writeSampleFolder(const std::filesystem::path& dir) {
    for (const SampleFile& f : packedSamples()) testsupport::writeFile(dir / f.name, crlfText(f.lines));
    testsupport::writeFile(dir / "notes.msg", "not a message file\r\n");
    testsupport::writeFile(dir / "play_ana2.msg", "too long a name\r\n");
    testsupport::writeFile(dir / "readme.txt", "text\r\n");
}

} // namespace kwtest
