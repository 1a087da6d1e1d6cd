// The regulation text and the message-table text, from choice to file.
#include "text/outputs.h"

#include "base/sjis.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "sjis/velltext_text.h"
#include "text/textformat.h"

#include <optional>
#include <unistd.h>

namespace vtext {

namespace {

void reportFailure(const char* message, std::string_view path) {
    // The path is inserted as text, never read as a format.
    std::string text = sjis::replaceAll(message, "%s", plat::shownPath(path));
    plat::notify::show(text, plat::msg::text(plat::msg::CaptionError), plat::notify::Icon::Warning,
                       plat::notify::Buttons::Ok, true);
}

std::string currentFolder() {
    std::string buffer(4096, '\0');
    if (!::getcwd(buffer.data(), buffer.size())) return {};
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    std::optional<std::string> sjis = plat::fromOsName(buffer);
    return sjis.value_or(std::string());
}

// Expands the chosen template and writes the output anew.
template <class Expand>
int writeChosen(std::string_view programFolder, std::string_view pattern, const TemplateChooser& choose,
                Expand expand) {
    std::string templatePath;
    std::string typed;
    if (!choose || !choose(programFolder, pattern, templatePath, typed)) return 0;
    std::optional<std::vector<TemplateLine>> lines = readTemplateFile(templatePath);
    if (!lines) {
        reportFailure(text::CannotReadTemplate, templatePath);
        return 0;
    }
    const std::string output = resolveOutputPath(typed);
    if (output.empty() || plat::isDirectory(output) || !plat::writeWholeFileAtomic(output, expand(*lines))) {
        reportFailure(text::CannotWriteOutput, typed);
        return 0;
    }
    return 1;
}

} // namespace

std::string resolveOutputPath(std::string_view typed) {
    if (typed.empty() || plat::isAbsolutePath(typed)) return std::string(typed);
    std::string folder = currentFolder();
    if (folder.empty()) return {};
    return plat::joinPath(folder, typed);
}

int outGameRegulation(std::string_view programFolder, const ValueList& values,
                      const TemplateChooser& choose) {
    return writeChosen(programFolder, RegulationPattern, choose, [&](const std::vector<TemplateLine>& lines) {
        return expandTextTemplate(lines, values);
    });
}

int outExtMessageTable(std::string_view programFolder, const ValueList& values, const MessageTables& tables,
                       const TemplateChooser& choose) {
    return writeChosen(
        programFolder, MessageTablePattern, choose,
        [&](const std::vector<TemplateLine>& lines) { return expandMessageTemplate(lines, values, tables); });
}

} // namespace vtext
