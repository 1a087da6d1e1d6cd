// The file check (see check.h). Lines are numbered from 0, and their length
// excludes the line end.
#include "kwph/check.h"

#include "kwph/errors.h"
#include "kwph/msgnames.h"
#include "kwph/pack.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "sjis/kwph_text.h"

#include <cstdio>

namespace kwp {

bool check(Engine& engine, std::string_view folder) {
    engine.reset();
    Ui& ui = engine.ui();
    ui.showText(kwx::CheckCaption, engine.geometry());
    ui.addLine(err::format(kwx::CheckStart, plat::shownPath(folder).c_str()));
    Engine scratch; // a folder without message files is no failure of the check
    auto files = findMessageFiles(scratch, folder, false);
    if (files) {
        for (const MessageFile& mf : *files) {
            ui.addLine(mf.fileName);
            const size_t width = msgRecordWidth(mf.type);
            if (width == 0) continue;
            std::FILE* in = plat::openFile(mf.path, "rb");
            if (!in) return engine.fail(err::openFile(mf.path));
            std::string line;
            int number = -1;
            while (plat::readLine(in, line)) {
                ++number;
                if (!line.empty() && line[0] == '\x1A') continue;
                if (line.size() != width)
                    ui.addLine(err::format(width == 80 ? kwx::CheckWarning80 : kwx::CheckWarning240, number,
                                           static_cast<int>(line.size())));
            }
            std::fclose(in);
        }
    }
    ui.addLine(kwx::CheckDone);
    return true;
}

} // namespace kwp
