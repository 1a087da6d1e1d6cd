// The exports of the plug-in common library (libvellcmn.so). Each one checks
// its pointers, calls the library's C++ side and lets no exception out; the
// windows are made only on the thread that runs the QApplication.
#include "common/vellcmn.h"

#include "base/sjis.h"
#include "common/akcheck.h"
#include "common/entrant.h"
#include "common/entrylist.h"
#include "common/fileversion.h"
#include "common/texthelpers.h"
#include "common/ui/akcheckform.h"
#include "common/ui/akdetailform.h"

#include <QApplication>
#include <QThread>

#include <string>
#include <vector>

namespace {

template <class R, class F> R guarded(R failed, F&& call) {
    try {
        return call();
    } catch (...) {
        return failed;
    }
}

bool guiThread() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
}

cmn::TFormAkDetail* detailWindow(void** detail) {
    if (!detail || !*detail) return nullptr;
    return qobject_cast<cmn::TFormAkDetail*>(static_cast<QWidget*>(*detail));
}

} // namespace

VELL_EXPORT int32_t cmnMakeDigest2(const char* folder, const char* file, EntryRecord* row) {
    if (!folder || !file || !row) return -1;
    return guarded<int32_t>(-1, [&] { return cmn::makeEntryRow(folder, file, *row) ? 0 : -1; });
}

VELL_EXPORT int32_t cmnMakeDigest3(const char* folder, const char* file, RoyalEntryRecord* row) {
    if (!folder || !file || !row) return -1;
    return guarded<int32_t>(-1, [&] { return cmn::makeRoyalRow(folder, file, *row) ? 0 : -1; });
}

VELL_EXPORT int32_t OutputEntryList(GameSettings* settings, const char* const* akFiles, const char* outFile,
                                    cv::GameMessageBuffer* buffer) {
    if (!settings || !outFile || !buffer) return 0;
    return guarded<int32_t>(0, [&] {
        std::vector<std::string> files;
        for (const char* const* p = akFiles; p && *p; ++p) files.emplace_back(*p);
        return cmn::outputEntryList(*settings, files, outFile, *buffer) ? 1 : 0;
    });
}

VELL_EXPORT int32_t cmnCheckAkData(TArmoredKnight* ak, char* report) {
    // Without an AK there is nothing that could be let through.
    if (!ak) return cmn::CheckStop;
    return guarded<int32_t>(cmn::CheckStop, [&] {
        std::vector<char> own;
        if (!report) {
            own.assign(cmn::CheckReportSize, '\0');
            report = own.data();
        }
        return cmn::checkAk(*ak, report, &cmn::TFormAkCheck::ask);
    });
}

VELL_EXPORT int32_t cmnGetFileVersion(const char* file, char** out) {
    if (!file || !out || !*out) return 0;
    return guarded<int32_t>(0, [&] { return cmn::fileVersion(file, *out, cmn::FileVersionSize) ? 1 : 0; });
}

VELL_EXPORT void cmnEnableDetail(void** detail, const char* programFolder, void* notify) {
    if (!detail || !guiThread()) return;
    guarded<int>(0, [&] {
        auto* window =
            new cmn::TFormAkDetail(programFolder ? programFolder : "", static_cast<QWidget*>(notify));
        window->show();
        *detail = static_cast<QWidget*>(window);
        return 0;
    });
}

VELL_EXPORT void cmnDetailSetAk(void** detail, const char* path) {
    cmn::TFormAkDetail* window = detailWindow(detail);
    if (!window || !path) return;
    guarded<int>(0, [&] {
        window->setAk(path);
        return 0;
    });
}

VELL_EXPORT void cmnDisableDetail(void** detail) {
    if (!detail) return;
    cmn::TFormAkDetail* window = detailWindow(detail);
    *detail = nullptr;
    if (!window) return;
    guarded<int>(0, [&] {
        window->closeByOwner();
        delete window;
        return 0;
    });
}

VELL_EXPORT int32_t ConvHan2Zen(const char* src, char* dst) {
    return guarded<int32_t>(0, [&] { return sjis::han2ZenC(src, dst); });
}

VELL_EXPORT int32_t ConvZen2Han(const char* src, char* dst) {
    return guarded<int32_t>(0, [&] { return sjis::zen2HanC(src, dst); });
}

VELL_EXPORT int32_t CutString(const char* src, char* dst, int32_t n, int32_t keepWidth) {
    return guarded<int32_t>(0, [&] { return sjis::cutStringC(src, dst, n, keepWidth); });
}

VELL_EXPORT int32_t strTrimRight(char* text) {
    cmn::trimBlanks(text);
    return 0;
}
