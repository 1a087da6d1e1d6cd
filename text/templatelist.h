// The templates offered in the chooser: the files of the program folder's
// "Format" folder that match a pattern ("reg*.fmt", "msg*.fmt") and whose
// first line begins with "#"; the rest of that line is the title.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vtext {

struct TemplateRow {
    std::string fileName; // Shift-JIS, without the folder
    std::string title;
};

// The folder of the templates: program folder + "Format\".
std::string templateFolder(std::string_view programFolder);
// The path of a listed template.
std::string templatePath(std::string_view programFolder, std::string_view fileName);

// Rows in file-name order (ASCII case ignored).
std::vector<TemplateRow> ListTemplates(std::string_view programFolder, std::string_view pattern);

// The title of template bytes: the first line (of at most 255 bytes) without
// its "#"; false when the first line is not a comment.
bool templateTitle(std::string_view head, std::string& title);

} // namespace vtext
