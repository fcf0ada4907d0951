// The commands that start and stop other programs: WinExec starts one and forgets it, WinExecEx
// starts one on a watcher thread that runs EndSection when it ends, KillProcess terminates the
// watched one. Behind them ChildProcess, the one started program that the tool watches, and the
// watchers of WinExecEx.
//
// Every WinExecEx starts a watcher thread (WinExecProc) that creates the program, records it in
// ChildProcess, waits for it to end and then chooses EndSection. ChildProcess is shared between
// the watchers and the main thread (KillProcess, the exit sequence) under one lock:
// - a watcher records its program under the lock, unless a later WinExecEx's program is recorded
//   already (the watchers may create their programs in any order); when its program has
//   ended it empties the record under the lock only if the record still names its own program,
//   before it closes its handles. A process identifier in the record therefore always belongs to a program whose
//   handle is still open, so the system cannot have given it to another program;
// - KillProcess and the exit sequence open and terminate the recorded program under the lock.
// The exit sequence ends the watchers: it closes them off under the lock (from then on no watcher
// chooses a section or posts NEWONE, and a program created later is terminated at once), wakes
// them, and waits for them to end, so that none posts into the destroyed window or outlives it.
#ifndef KELVADO_SERVICES_PROCESS_COMMANDS_H
#define KELVADO_SERVICES_PROCESS_COMMANDS_H

#include <cstdint>

#include "platform/process.h"

// The watched program; process_id 0 when none. Read it only through WatchedProcessId.
extern ProcessRecord ChildProcess;
uint32_t WatchedProcessId();

// Starts a watcher for this command line, started in `directory` (empty: the tool's current
// directory); both are copied. False when the thread could not be started.
bool StartWatcher(const char* command_line, const char* directory);
// Terminates the watched program, if any, with exit code 0. The record stays: the watcher sees
// the end and runs the end section.
void TerminateWatchedProgram();
// The exit sequence's first step: terminates the watched program and ends every watcher, waiting
// for them at most kWatcherEndMs in all (a watcher still showing its error box is left to the
// end of the process).
const uint32_t kWatcherEndMs = 3000;
void EndWatchers();
// Watchers that have not ended yet.
int32_t LiveWatchers();
// Forgets the record and opens the door again after EndWatchers (a fresh start, in tests).
void ResetWatchers();

// WinExec,"command line": 0 when started, else -1 with WinExec's own result in the message.
int32_t FuncWinExec(char* args);
// WinExecEx,"command line": starts the watcher and returns 0 at once; the program is started in
// HomeDir, or in the tool's current directory when HomeDir is empty.
int32_t FuncWinExecEx(char* args);
// KillProcess: terminates the watched program, if any, then shows the main window.
int32_t FuncKillProcess(char* args);

#endif
