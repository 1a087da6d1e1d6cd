// The game processor's system: what StartSystem obtains and EndSystem gives
// back (the eight template tables, the message queue, the message-archive
// library, the message table the plug-in hands over, the base and temporary
// folders, the display settings), and SetEnvironment, which makes a
// GameSettings record the current one.
//
// SystemInit is the plug-in's input record of eighteen words. The system was
// built for 32-bit words that held pointers and counts alike; on this
// platform every word is pointer-sized (8 bytes), so the record is eighteen
// pointer-sized words and a plug-in fills it with pointers and counts the
// same way.
#pragma once

#include "base/confrecords.h"
#include "core/queue.h"

#include <cstdint>
#include <memory>
#include <string>

namespace cv {

struct DisplaySettings;

struct SystemInit {
    const char* MessageFile[8]; // the default message file of each template table
    const AnnouncerEntry* Announcers;
    const MsgEntry* ComputerEntries;
    const MsgEntry* PilotEntries;
    intptr_t Unused11;
    intptr_t Unused12;
    intptr_t AnnouncerCount;
    intptr_t ComputerCount;
    intptr_t PilotCount;
    intptr_t Unused16;
    const char* BaseFolder; // ends in a separator; null for the program folder
};
static_assert(sizeof(SystemInit) == 18 * sizeof(void*));

// Results of StartSystem.
inline constexpr uint32_t SystemOk = 0;
inline constexpr uint32_t SystemNoArchiveLibrary = 0x80000002;
// The temporary folder could not be created (the error has been shown).
inline constexpr uint32_t SystemNoTempFolder = 0x80004005;

// The module's record of the system's lifetime.
struct SystemState {
    bool Started = false; // StartSystem ran and EndSystem has not yet
    // The queue of steps run without a started system, never handed out.
    std::unique_ptr<GameMessageBuffer> Scratch;
};

// Allocates the tables and the queue (handed back in `bufferOut` before
// anything can fail), keeps the message table (a count beyond the plug-ins'
// arrays is cut to them, a negative one is 0), makes the temporary folder,
// loads the message-archive library (message 41008 when it is missing) and
// reads the display settings. A second StartSystem keeps what the first
// obtained.
uint32_t StartSystem(const SystemInit& init, GameMessageBuffer*& bufferOut);

// Releases only what StartSystem obtained: the library, the tables, the
// queue. Safe without StartSystem and when called twice.
void EndSystem();

// Font and colours of the HTML log from the registry, each value falling
// back to its default.
DisplaySettings ReadDisplaySettings();

// Makes `settings` current (used in place until the match ends), converts
// the bounty formula (copied as it is with option 42) and loads the eight
// default message files.
void SetEnvironment(GameSettings& settings);

// The queue the match steps write: StartSystem's, or a scratch queue of the
// module's own when no system was started.
GameMessageBuffer& StepBuffer();

} // namespace cv
