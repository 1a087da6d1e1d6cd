// The two texts the configuration manager asks for: the regulation text of a
// conf from a "reg*.fmt" template and the message-table text from a
// "msg*.fmt" template. The user chooses the template and the output file
// through a chooser (the template window in the library, a stand-in in
// tests); the output is written anew through a temporary, so a failure
// leaves an existing file as it was, and a failure is reported in a box
// under caption 41000.
#pragma once

#include "text/fieldcodes.h"
#include "text/tablerows.h"

#include <functional>
#include <string>
#include <string_view>

namespace vtext {

// (program folder, pattern, template path out, output path out) → true when
// the user chose OK. The output path is as typed.
using TemplateChooser = std::function<bool(std::string_view programFolder, std::string_view pattern,
                                           std::string& templatePath, std::string& outputPath)>;

inline constexpr std::string_view RegulationPattern = "reg*.fmt";
inline constexpr std::string_view MessageTablePattern = "msg*.fmt";

// A typed output name: a relative one is taken against the current folder
// (the folder the user's file dialogs work in), not the program folder.
std::string resolveOutputPath(std::string_view typed);

// 1 written; 0 cancelled or failed.
int outGameRegulation(std::string_view programFolder, const ValueList& values, const TemplateChooser& choose);
int outExtMessageTable(std::string_view programFolder, const ValueList& values, const MessageTables& tables,
                       const TemplateChooser& choose);

} // namespace vtext
