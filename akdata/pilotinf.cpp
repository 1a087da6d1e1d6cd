// The pilot block of a match log.
#include "akdata/pilotinf.h"

#include "akdata/sheettext.h"
#include "base/akparams.h"
#include "base/sjis.h"
#include "sjis/aktext.h"

namespace akdata {

namespace {

template <size_t N> std::string text(const char (&field)[N]) {
    return std::string(sjis::readField(field));
}

const std::string Rule(76, '-');

} // namespace

std::string pilotInfo(const PilotInfOptions& options, std::string_view condition, std::string_view title,
                      const TArmoredKnight& ak, std::string_view titleTail) {
    std::string out;
    if (options.title && !title.empty()) {
        std::string head = formatText(akl::TitleHead, std::string(title).c_str());
        const size_t used = head.size() + titleTail.size();
        out += head + std::string(used < 70 ? 70 - used : 0, '-') + " " + std::string(titleTail) + " ----";
    } else {
        out += Rule;
    }
    const int32_t battles = ak.Pilot.Battles, wins = ak.Pilot.Wins;
    const int32_t rate = battles <= 0 ? 0 : ak::div32(ak::wrap32(int64_t{wins} * 100), battles);
    out += formatText(akl::Pilot, sjis::cut(text(ak.Pilot.Name), 32).c_str(), static_cast<int>(ak.Pilot.Age),
                      text(ak.Pilot.Sex).c_str());
    out += formatText(akl::Exp, battles, wins, static_cast<int>(ak.Pilot.Destroyed), rate,
                      static_cast<int>(ak.TotalCr), static_cast<int>(ak.Team.Mctl),
                      ak::Mctl2DexCore(ak.Team.Mctl));
    out += formatText(akl::Mods, static_cast<int>(ak.Pilot.ExpAttack), static_cast<int>(ak.Pilot.ExpDefence),
                      static_cast<int>(ak.Pilot.ExpEscape), text(ak.AkName).c_str());
    if (options.profile) out += wrapLabelled(akl::Profile, text(ak.Pilot.Profile));
    if (options.comment)
        out += wrapLabelled(akl::Comment, std::string(akl::QuoteOpen) +
                                              text(ak.Comments[CommentMatchStart].Text) + akl::QuoteClose);
    if (options.condition) {
        out += akl::Condition;
        out += condition;
        out += "\r\n";
    }
    if (options.tableRow) {
        out += Rule;
        out += formatText(akl::Row, sjis::cnvNameStr(text(ak.Owner.Name), 14).c_str(),
                          sjis::cnvNameStr(text(ak.Pilot.Name), 16).c_str(),
                          sjis::cnvNameStr(text(ak.AkName), 16).c_str());
        out += formatText(akl::RowValues, battles, wins, static_cast<int>(ak.Pilot.Destroyed),
                          static_cast<int>(ak.Pilot.ExpEscape), static_cast<int>(ak.TotalCr));
    }
    out += Rule + "\r\n";
    return out;
}

} // namespace akdata
