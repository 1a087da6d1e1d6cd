// Reading templates and writing the regulation and message-table texts.
#include "text/textformat.h"

#include "platform/files.h"

namespace vtext {

std::vector<TemplateLine> splitTemplate(std::string_view bytes) {
    size_t eof = bytes.find('\x1A');
    if (eof != std::string_view::npos) bytes = bytes.substr(0, eof);
    std::vector<TemplateLine> lines;
    while (!bytes.empty()) {
        size_t lf = bytes.find('\n');
        TemplateLine line;
        std::string_view text = bytes.substr(0, lf);
        if (lf != std::string_view::npos) {
            line.hadLineEnd = true;
            if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
            bytes.remove_prefix(lf + 1);
        } else {
            bytes = {};
        }
        line.text.assign(text);
        lines.push_back(std::move(line));
    }
    return lines;
}

bool isCommentLine(std::string_view line) {
    return !line.empty() && line[0] == '#';
}

std::string expandTextTemplate(const std::vector<TemplateLine>& lines, const ValueList& values) {
    std::string out;
    for (const TemplateLine& line : lines) {
        if (isCommentLine(line.text)) continue;
        writeComposed(out, composeLine(line.text, values), true, line.hadLineEnd);
    }
    return out;
}

std::string expandMessageTemplate(const std::vector<TemplateLine>& lines, const ValueList& values,
                                  const MessageTables& tables) {
    std::string out;
    for (const TemplateLine& line : lines) {
        if (isCommentLine(line.text)) continue;
        TableKind kind;
        if (tableLineKind(line.text, kind)) {
            WriteTableRows(out, std::string_view(line.text).substr(2), kind, tables);
            continue;
        }
        writeComposed(out, composeLine(line.text, values), false, line.hadLineEnd);
    }
    return out;
}

std::optional<std::vector<TemplateLine>> readTemplateFile(std::string_view path) {
    if (path.empty()) return std::nullopt;
    if (!plat::isRegularFile(path)) return std::nullopt;
    std::optional<std::string> bytes = plat::readWholeFile(path);
    if (!bytes) return std::nullopt;
    return splitTemplate(*bytes);
}

bool appendToFile(std::string_view path, std::string_view bytes) {
    if (path.empty() || plat::isDirectory(path)) return false;
    std::string content;
    if (plat::fileExists(path)) {
        std::optional<std::string> old = plat::readWholeFile(path);
        if (!old) return false;
        content = std::move(*old);
    }
    content.append(bytes);
    return plat::writeWholeFileAtomic(path, content);
}

int replaceTextFormat(std::string_view templatePath, std::string_view outputPath, const ValueList& values) {
    std::optional<std::vector<TemplateLine>> lines = readTemplateFile(templatePath);
    if (!lines) return 0;
    return appendToFile(outputPath, expandTextTemplate(*lines, values)) ? 1 : 0;
}

} // namespace vtext
