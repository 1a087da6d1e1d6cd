// Listing the templates of the Format folder with their titles.
#include "text/templatelist.h"

#include "base/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <cstdio>

namespace vtext {

namespace {

constexpr size_t TitleLineLimit = 255;

} // namespace

std::string templateFolder(std::string_view programFolder) {
    return plat::joinPath(programFolder, "Format\\");
}

std::string templatePath(std::string_view programFolder, std::string_view fileName) {
    return templateFolder(programFolder) + std::string(fileName);
}

bool templateTitle(std::string_view head, std::string& title) {
    std::string_view line = head.substr(0, sjis::cutLength(head, TitleLineLimit));
    size_t lf = line.find('\n');
    if (lf != std::string_view::npos) line = line.substr(0, lf);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] != '#') return false;
    title.assign(line.substr(1));
    return true;
}

std::vector<TemplateRow> ListTemplates(std::string_view programFolder, std::string_view pattern) {
    std::vector<TemplateRow> rows;
    const std::string folder = templateFolder(programFolder);
    for (const std::string& name : plat::listFolder(folder, pattern)) {
        const std::string path = folder + name;
        if (!plat::isRegularFile(path)) continue;
        std::FILE* f = plat::openFile(path, "rb");
        if (!f) continue;
        char buffer[TitleLineLimit];
        size_t n = std::fread(buffer, 1, sizeof buffer, f);
        std::fclose(f);
        TemplateRow row;
        if (!templateTitle(std::string_view(buffer, n), row.title)) continue;
        row.fileName = name;
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace vtext
