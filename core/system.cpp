// Starting and ending the system, and the environment of a match.
#include "core/system.h"

#include "base/sjis.h"
#include "core/filecache.h"
#include "core/formula.h"
#include "core/logwriter.h"
#include "core/matchfiles.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "core/msgsets.h"
#include "core/outputfault.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/registry.h"

#include <algorithm>
#include <cstdio>
#include <string.h>

namespace cv {

namespace {

constexpr int ArchiveLibraryMissing = 41008;
constexpr char DisplayKey[] = "Software\\Dunmoor\\CVVell\\Display";
constexpr char TempFolderError[] = "Cannot create temporary directory.";

// A caller's text, read up to its terminator but never further than `limit`
// bytes.
std::string_view callerText(const char* text, size_t limit) {
    return text ? std::string_view(text, ::strnlen(text, limit)) : std::string_view();
}

intptr_t clampCount(intptr_t count, intptr_t max) {
    return std::clamp<intptr_t>(count, 0, max);
}

} // namespace

uint32_t StartSystem(const SystemInit& init, GameMessageBuffer*& bufferOut) {
    ModuleState& m = Module();
    KeepOpenMatchFiles();
    for (int t = 0; t < TemplateTableCount; ++t) {
        if (!m.Templates[t]) m.Templates[t] = std::make_unique<TemplateTable>();
        // A path that does not fit is dropped rather than cut: a cut path
        // would name some other file.
        std::string_view path = callerText(init.MessageFile[t], sizeof m.TemplatePath[t]);
        sjis::writeField(m.TemplatePath[t],
                         path.size() < sizeof m.TemplatePath[t] ? path : std::string_view());
    }
    if (!m.Buffer) m.Buffer = std::make_unique<GameMessageBuffer>();
    bufferOut = m.Buffer.get();
    m.System.Started = true;

    m.Announcers = init.Announcers;
    m.ComputerEntries = init.ComputerEntries;
    m.PilotEntries = init.PilotEntries;
    m.AnnouncerCount =
        static_cast<int32_t>(init.Announcers ? clampCount(init.AnnouncerCount, MaxAnnouncerCount) : 0);
    m.ComputerCount =
        static_cast<int32_t>(init.ComputerEntries ? clampCount(init.ComputerCount, MaxComputerCount) : 0);
    m.PilotCount = static_cast<int32_t>(init.PilotEntries ? clampCount(init.PilotCount, MaxPilotCount) : 0);

    // The base folder: the plug-ins pass the program folder; relative paths
    // of this system are the program folder's, so that is the fallback.
    m.BaseFolder = init.BaseFolder ? std::string(callerText(init.BaseFolder, 4096)) : plat::programFolder();
    if (m.BaseFolder.empty() || !plat::endsWithSeparator(m.BaseFolder)) m.BaseFolder += '\\';
    m.TempFolder = m.BaseFolder + "Temp\\";
    if (!plat::isDirectory(m.TempFolder) && !plat::makeDirectory(m.TempFolder)) {
        plat::notify::show(TempFolderError, plat::msg::text(plat::msg::CaptionError),
                           plat::notify::Icon::Warning, plat::notify::Buttons::Ok, true);
        return SystemNoTempFolder;
    }

    uint32_t result = SystemOk;
    if (!MessageLibraryAttached() && !AttachMessageLibrary(m.BaseFolder)) {
        plat::msg::showError(ArchiveLibraryMissing);
        result = SystemNoArchiveLibrary;
    }
    m.Display = ReadDisplaySettings();
    return result;
}

void EndSystem() {
    ModuleState& m = Module();
    if (!m.System.Started) return;
    KeepOpenMatchFiles();
    // The output files of an event that wrote no result tables (the
    // one-vs-one match, a cancelled run) reach the disk here at the latest;
    // a failed write-back is reported, naming the output folder.
    std::string failedFolder;
    if (!plat::syncDeferredWrites(&failedFolder)) plat::msg::showError(CannotCreateAkFile, {failedFolder});
    CloseEveryChannel();
    DetachMessageLibrary();
    ClearFileCaches();
    for (auto& table : m.Templates) table.reset();
    m.Buffer.reset();
    m.Announcers = nullptr;
    m.ComputerEntries = nullptr;
    m.PilotEntries = nullptr;
    m.AnnouncerCount = m.ComputerCount = m.PilotCount = 0;
    m.System.Started = false;
}

DisplaySettings ReadDisplaySettings() {
    DisplaySettings d = DefaultDisplaySettings();
    d.FontName = plat::reg::readString(DisplayKey, "FontName", d.FontName);
    d.FontSize = plat::reg::readInteger(DisplayKey, "FontSize", d.FontSize);
    for (int i = 0; i < DisplayColourCount; ++i) {
        char name[24];
        std::snprintf(name, sizeof name, "Color%2.2d", i);
        d.Colour[i] = plat::reg::readColor(DisplayKey, name, d.Colour[i]);
    }
    return d;
}

void SetEnvironment(GameSettings& settings) {
    ModuleState& m = Module();
    m.Settings = &settings;
    if (Option(OptReversePolish))
        sjis::writeField(settings.BountyPostfix, sjis::readField(settings.BountyFormula));
    else
        Infix2Postfix(sjis::readField(settings.BountyFormula), settings.BountyPostfix);
    BeginMatchFileChecks();
    LoadSystemTemplates();
    // What comes next (a match, or the entry sheets of an entry list) starts
    // with no failed file.
    ClearFailedFile();
}

GameMessageBuffer& StepBuffer() {
    ModuleState& m = Module();
    if (m.Buffer) return *m.Buffer;
    if (!m.System.Scratch) m.System.Scratch = std::make_unique<GameMessageBuffer>();
    return *m.System.Scratch;
}

} // namespace cv
