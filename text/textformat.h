// Template files, the regulation text and the message-table text: a template is read whole (a Ctrl-Z
// ends it, as the old editors marked the end of a text), its "#" lines are
// comments, and every other line is composed with its field codes and
// written with CR LF line ends; message-table templates also expand their
// table lines, and there an F mark does not fold. ReplaceTextFormat appends the result to an
// output file, rewriting that file through a temporary so that a failure
// leaves it as it was.
#pragma once

#include "text/fieldcodes.h"
#include "text/tablerows.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vtext {

struct TemplateLine {
    std::string text;        // without its line end
    bool hadLineEnd = false; // the last line of a file may have none
};

// The lines of template bytes: cut at the first Ctrl-Z, split at LF, a CR
// before the LF dropped.
std::vector<TemplateLine> splitTemplate(std::string_view bytes);

// True for a comment line (also the title line).
bool isCommentLine(std::string_view line);

// The regulation text of a template (every code kind, folding included).
std::string expandTextTemplate(const std::vector<TemplateLine>& lines, const ValueList& values);

// The message-table text of a template.
std::string expandMessageTemplate(const std::vector<TemplateLine>& lines, const ValueList& values,
                                  const MessageTables& tables);

// Reads a template file (a system path, relative to the program folder);
// nullopt when it cannot be read.
std::optional<std::vector<TemplateLine>> readTemplateFile(std::string_view path);

// Appends bytes to the file at path: the old content and the new are written
// to a temporary and renamed over it. False (file unchanged) on failure.
bool appendToFile(std::string_view path, std::string_view bytes);

// ReplaceTextFormat: 1 written, 0 when the template cannot be read or the
// output cannot be written.
int replaceTextFormat(std::string_view templatePath, std::string_view outputPath, const ValueList& values);

} // namespace vtext
