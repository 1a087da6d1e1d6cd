// The exported entries of libvelltext.so: thin C wrappers over the logic
// that keep exceptions inside the library. The two template outputs ask the
// user through the template window.
#include "text/velltext.h"

#include "base/sjis.h"
#include "text/digest.h"
#include "text/outputs.h"
#include "text/profile.h"
#include "text/selfmt.h"
#include "text/textformat.h"

#include <cstring>
#include <string>
#include <string_view>

namespace {

std::string_view textOf(const char* s) {
    return s ? std::string_view(s) : std::string_view();
}

// The size ReplaceStringFormat's caller gives its output.
constexpr size_t StringFormatBuffer = vtext::ComposedLimit + 1;
constexpr size_t ResultFieldSize = 80;

// The user chooses in the template window.
vtext::TemplateChooser windowChooser() {
    return [](std::string_view folder, std::string_view pattern, std::string& templatePath,
              std::string& output) { return vtext::SelectTemplate(folder, pattern, templatePath, output); };
}

} // namespace

VELL_EXPORT int OutGameRegulation(const char* programFolder, char** values) {
    try {
        return vtext::outGameRegulation(textOf(programFolder), vtext::ValueList(values), windowChooser());
    } catch (...) {
        return 0;
    }
}

VELL_EXPORT int OutExtMessageTable(const char* programFolder, char** values, const AnnouncerEntry* announcers,
                                   int announcerCount, const MsgEntry* pilotEntries, int pilotCount,
                                   const MsgEntry* computerEntries, int computerCount) {
    try {
        vtext::MessageTables tables{announcers, announcerCount,  pilotEntries,
                                    pilotCount, computerEntries, computerCount};
        return vtext::outExtMessageTable(textOf(programFolder), vtext::ValueList(values), tables,
                                         windowChooser());
    } catch (...) {
        return 0;
    }
}

VELL_EXPORT int ReplaceTextFormat(const char* templatePath, const char* outputPath, char** values) {
    try {
        return vtext::replaceTextFormat(textOf(templatePath), textOf(outputPath), vtext::ValueList(values));
    } catch (...) {
        return 0;
    }
}

VELL_EXPORT int ReplaceStringFormat(const char* in, char* out, char** values) {
    if (!out) return 0;
    out[0] = '\0';
    try {
        std::string result = vtext::replaceStringFormat(textOf(in), vtext::ValueList(values));
        size_t n = sjis::cutLength(result, StringFormatBuffer - 1);
        std::memcpy(out, result.data(), n);
        out[n] = '\0';
    } catch (...) {
    }
    return 0;
}

VELL_EXPORT int LoadMomoFile(const char* path, DigestEntry** head) {
    try {
        return vtext::loadMomoFile(textOf(path), head);
    } catch (...) {
        return 1;
    }
}

VELL_EXPORT int UnloadMomoFile() {
    vtext::unloadMomoFile();
    return 0;
}

VELL_EXPORT int LoadProfFile(const char* path, TArmoredKnight* ak, void* second) {
    try {
        return vtext::loadProfFile(textOf(path), ak, second);
    } catch (...) {
        return 1;
    }
}

VELL_EXPORT int SaveProfFile(const char* path, const TArmoredKnight* ak, const void* second) {
    try {
        return vtext::saveProfFile(textOf(path), ak, second);
    } catch (...) {
        return 1;
    }
}

VELL_EXPORT int GetPilotName(const char* path, char* out) {
    try {
        std::string name;
        int result = vtext::getPilotName(textOf(path), name);
        if (out) sjis::writeField(out, ResultFieldSize, name);
        return result;
    } catch (...) {
        return 1;
    }
}

VELL_EXPORT int ParseResultLine(const char* line, char* name, char* text) {
    try {
        std::string n;
        std::string t;
        int mark = vtext::parseResultLine(textOf(line), n, t);
        if (name) sjis::writeField(name, ResultFieldSize, n);
        if (text) sjis::writeField(text, ResultFieldSize, t);
        return mark;
    } catch (...) {
        return -1;
    }
}
