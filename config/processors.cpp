// Calls into the game processor and the text processor, loaded by name.
#include "config/processors.h"

#include "base/sjis.h"
#include "config/confpath.h"
#include "core/cvexports.h"
#include "platform/loader.h"
#include "text/velltext.h"

#include <cstdint>
#include <vector>

namespace cnf {

namespace {

// Signatures as the game processor and the text processor declare them;
// the libraries themselves are loaded by name, not linked.
using Infix2PostfixFn = decltype(&::Infix2Postfix);
using CalcPostfixFn = decltype(&::CalcPostfix);
using OutGameRegulationFn = decltype(&::OutGameRegulation);
using OutExtMessageTableFn = decltype(&::OutExtMessageTable);

constexpr size_t PostfixSize = sizeof(GameSettings::BountyPostfix);

// The value texts as the C interface takes them: 30 writable, terminated
// texts that live as long as this object.
class ValueList {
public:
    explicit ValueList(const std::array<std::string, 30>& values) {
        for (size_t i = 0; i < values.size(); ++i) {
            buffers_[i].assign(values[i].begin(), values[i].end());
            buffers_[i].push_back('\0');
            pointers_[i] = buffers_[i].data();
        }
    }
    char** data() { return pointers_.data(); }

private:
    std::array<std::vector<char>, 30> buffers_;
    std::array<char*, 30> pointers_{};
};

} // namespace

TArmoredKnight sampleAk() {
    TArmoredKnight ak{};
    ak.Pilot.Battles = 100;
    ak.Pilot.Wins = 60;
    ak.Pilot.Destroyed = 5;
    ak.Pilot.Kills = 3;
    ak.Pilot.Draws = 2;
    ak.MachineValue = 3200;
    ak.TotalCr = 3500;
    ak.Team.Mctl = 200;
    ak.Pilot.Age = 26;
    ak.Pilot.ExpAttack = 6;
    ak.Pilot.ExpDefence = 4;
    ak.Pilot.ExpEscape = 2;
    ak.TotalWeight = 300;
    return ak;
}

FormulaCheck checkBountyFormula(std::string_view programFolder, GameSettings& settings, bool bountyMatch,
                                bool reversePolish, std::string_view typed, plat::msg::Style style) {
    settings.Options[OptBountyMatch] = bountyMatch ? 1 : 0;
    sjis::writeField(settings.BountyFormula, typed);
    if (!bountyMatch) return FormulaCheck::Off;

    plat::Library core;
    if (!core.load(folderOf(programFolder), "cvcore.dll", {"Infix2Postfix", "CalcPostfix"})) {
        plat::msg::showError(41003, {}, style);
        return FormulaCheck::NoLibrary;
    }
    auto infix2Postfix = core.function<Infix2PostfixFn>("Infix2Postfix");
    auto calcPostfix = core.function<CalcPostfixFn>("CalcPostfix");

    // The library sees terminated copies, never the record's fields.
    std::string formula(sjis::readField(settings.BountyFormula));
    bool converted = true;
    if (reversePolish) {
        sjis::writeField(settings.BountyPostfix, formula);
    } else {
        char postfix[PostfixSize] = {};
        converted = infix2Postfix(formula.c_str(), postfix) == 0;
        sjis::writeField(settings.BountyPostfix, sjis::readField(postfix));
    }
    bool passed = false;
    if (converted) {
        TArmoredKnight ak = sampleAk();
        std::string postfix(sjis::readField(settings.BountyPostfix));
        passed = calcPostfix(postfix.c_str(), &ak) != 0;
    }
    plat::msg::inform(passed ? 40003 : 40002, {}, style);
    return passed ? FormulaCheck::Passed : FormulaCheck::Failed;
}

bool writeRegulation(std::string_view programFolder, const std::array<std::string, 30>& values,
                     plat::msg::Style style) {
    plat::Library text;
    std::string folder = folderOf(programFolder);
    if (!text.load(folder, "velltext.dll", {"OutGameRegulation"})) {
        plat::msg::showError(41005, {}, style);
        return false;
    }
    ValueList list(values);
    return text.function<OutGameRegulationFn>("OutGameRegulation")(folder.c_str(), list.data()) != 0;
}

bool writeMessageTable(std::string_view programFolder, AnnouncerEntry* announcers, int announcerCount,
                       MsgEntry* pilots, int pilotCount, MsgEntry* computers, int computerCount,
                       plat::msg::Style style) {
    plat::Library text;
    std::string folder = folderOf(programFolder);
    if (!text.load(folder, "velltext.dll", {"OutExtMessageTable"})) {
        plat::msg::showError(41005, {}, style);
        return false;
    }
    ValueList list(std::array<std::string, 30>{});
    return text.function<OutExtMessageTableFn>("OutExtMessageTable")(folder.c_str(), list.data(), announcers,
                                                                     announcerCount, pilots, pilotCount,
                                                                     computers, computerCount) != 0;
}

} // namespace cnf
