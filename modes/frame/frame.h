// The game-mode frame in one include, and how a mode plug-in is built on it.
//
// A plug-in is a deliverable with one export, GameStart:
//
//     vell_deliverable(BRACKETS DESCRIPTION "..." SOURCES exports.cpp
//       LIBS <mode>_forms <mode>_logic modeframe_ui modeframe vellbase vellui Qt6::Widgets
//            CVCORE VELL_AK VELLCNF VELLCMN)
//
//     VELL_EXPORT int32_t GameStart(const char*, GameSettings* s, ConfHeader* h, AkSourceList* l, void*) {
//         return modes::ui::RunModeForm<TFormTour>(s, h, l);          // ui/gamestart.h
//     }
//
// Keep the mode's rules (pairing, counting, tables, the run thread's loop)
// in a Qt-free static library and its windows thin on top of it.
//
// What the frame gives (namespace modes, Qt-free, library modeframe):
//   modeinfo.h   the six modes' file names, settings key, default result
//                file, stored values with defaults (readModeValue /
//                writeModeValue), placement names, help context, version text.
//   history.h    the result-file history ("File"\"0000".."0019").
//   akrows.h     the AK list rows (MakeDigest) and their sort order.
//   entrants.h   the entrant list: paths with zero-filled rows
//                (makeEntrant: cmnMakeDigest2; makeRoyalEntrant:
//                cmnMakeDigest3) and the output AK files a run wrote for
//                each (the file of its next match), pathArray for the
//                calls taking a list.
//   setup.h      ModeSetup, the set-up window's logic: message table,
//                SystemInit + StartSystem/EndSystem, AK folder and slots,
//                result file test (41020), weapon-data check, digest reset,
//                entry list, forced option 23 and the deletion of the
//                run's output AK files.
//   match.h      one match through the game processor (playMatch,
//                fightMatch, MatchSides with the 1929-byte state buffers,
//                MatchOutcome).
//   runthread.h  RunThread (the worker, its terminate flag, post() to the
//                window thread, postGameDone, the stop after a reported
//                fault) and applyRunSettings.
//   standings.h  CompareStandings and the SyncProgress text.
//   tables.h     memo lines, the event heading, name cuts, the entry table
//                of the battle royal and the tournament, saveResultFile.
//   textfmt.h    format, joinFolder, ruleLine, timeStamp.
//   imports.h    the C signatures of every export a mode calls.
//
// The windows (namespace modes::ui, library modeframe_ui):
//   ui/modeform.h      TFormMode: derive, add controls to modeArea(), force
//                      the mode's options in the constructor, override
//                      ButtonStartClick (and ButtonDecideClick,
//                      readModeValues/writeModeValues, akListFilled,
//                      formClosing as needed). prepareRun and runProgress
//                      are the start sequence's shared steps.
//   ui/progressform.h  TFormProgress: derive, give prepare() (progress bar,
//                      entry table), createRun() (the run thread's body) and
//                      gameDone() (result writer, then saveMemo()).
//   ui/gamestart.h     RunModeForm<Form> for GameStart.
//
// A threaded mode's start, in its ButtonStartClick:
//     RandomizeSystem();
//     takeResultText();
//     if (!setup().testResultFile(this)) return;
//     EntrantList entrants = ...;                     // the mode's own rules
//     if (!setup().checkEntrants(entrants)) return;
//     prepareRun(entrants);                           // history, digest, entry list
//     runProgress(std::make_unique<TFormTourProgress>(*this, entrants, setup().resultFilePath(),
//                                                     setup().akFolder()));
//     setup().deleteForcedOutput(entrants);           // brawlall, brackets, teamfight
//
// Threads: only the run thread calls the game processor and the AK data
// library while a run goes on; it changes windows only through
// RunThread::post (SyncProgress and the like) and ends with postGameDone()
// unless the mode says otherwise after a cancel. A file of the event not
// written (fightMatch asks the game processor after every match; a mode
// that steps matches itself calls stopOnOutputFault) or a second entrant's
// AK file not read stops the run as a cancel does, after one report, and
// no WM_GAMEDONE follows. The set-up window waits for the thread through
// the event loop before anything the thread uses is freed.
#pragma once

#include "modes/frame/akrows.h"
#include "modes/frame/entrants.h"
#include "modes/frame/history.h"
#include "modes/frame/imports.h"
#include "modes/frame/match.h"
#include "modes/frame/modeinfo.h"
#include "modes/frame/runthread.h"
#include "modes/frame/setup.h"
#include "modes/frame/standings.h"
#include "modes/frame/tables.h"
#include "modes/frame/textfmt.h"
