// The entrant check: the AK data library writes the findings, the asker (the
// modal check dialog in the library's export) lets the game master decide.
#include "common/akcheck.h"

#include "akdata/akexports.h"
#include "base/sjis.h"
#include "sjis/cmn_text.h"

namespace cmn {

std::string checkCaption(const TArmoredKnight& ak) {
    std::string caption = cmt::CheckCaptionHead;
    caption += sjis::readField(ak.Pilot.Name);
    caption += cmt::CheckCaptionTail;
    return caption;
}

int checkAk(TArmoredKnight& ak, char* report, const CheckAsker& ask) {
    report[0] = '\0';
    int findings = CheckAkData(&ak, report);
    if (findings <= 0) return CheckGoOn;
    if (!ask) return CheckStop;
    return ask(checkCaption(ak), sjis::readField(report, 2048)) == CheckGoOn ? CheckGoOn : CheckStop;
}

} // namespace cmn
