// What the archive operations show: a progress window (caption, maximum,
// position) and a text window (caption, lines, status text). The core holds
// only this interface. RecordingUi, the default, shows nothing and records
// what it was given, so listings and checks can be read back. Real windows
// come from an installed factory, else from libkwphui.so in the program
// folder when it is there and a QApplication runs on the calling thread.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kwp {

struct Geometry {
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;
};

class Ui {
public:
    virtual ~Ui() = default;

    virtual void showProgress(std::string_view caption, const Geometry& where) = 0;
    virtual void setProgressMax(int max) = 0;
    virtual void setProgressPos(int pos) = 0;
    virtual void closeProgress() = 0;

    // Showing the text window starts its contents afresh.
    virtual void showText(std::string_view caption, const Geometry& where) = 0;
    virtual void addLine(std::string_view line) = 0;
    virtual void setStatus(std::string_view text) = 0;
};

class RecordingUi : public Ui {
public:
    void showProgress(std::string_view caption, const Geometry& where) override;
    void setProgressMax(int max) override { progressMax = max; }
    void setProgressPos(int pos) override { progressPos = pos; }
    void closeProgress() override { progressOpen = false; }
    void showText(std::string_view caption, const Geometry& where) override;
    void addLine(std::string_view line) override { lines.emplace_back(line); }
    void setStatus(std::string_view text) override { status = text; }

    std::string progressCaption;
    Geometry progressGeometry;
    bool progressOpen = false;
    int progressMax = 0;
    int progressPos = 0;
    std::string textCaption;
    Geometry textGeometry;
    std::vector<std::string> lines;
    std::string status;
};

// Makes the windows of an engine whose user interface is on; nullptr when
// there is no window system (the engine then records).
using UiFactory = std::unique_ptr<Ui> (*)();
void setUiFactory(UiFactory factory);
std::unique_ptr<Ui> makeWindowUi();

// The screen size for placing windows; {0, 0} without a window system.
struct ScreenSize {
    int height = 0;
    int width = 0;
};
using ScreenSizeQuery = ScreenSize (*)();
void setScreenSizeQuery(ScreenSizeQuery query);
ScreenSize screenSize();

} // namespace kwp
