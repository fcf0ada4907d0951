// The line executor and the section runner, TraceLine that shows the line being run, and the
// interpreter's reset.
#ifndef KELVADO_INTERP_EXEC_H
#define KELVADO_INTERP_EXEC_H

#include <cstdint>

#include "interp/section_table.h"

// Runs one line: cleans a copy of it, splits the command name off at the first comma and calls
// its handler with the rest (nullptr without a comma). The handler's result, or -1 without any
// message when the command is not in the CommandTable.
int32_t ExecLine(const ScriptLine& line);

// Runs the named section from line *start on, until it ends (0), a handler ends the run (its
// positive result; *start is that line's index, which after 2 is the line to run again) or a
// line fails (-1, with the runner's message appended to ScriptError). A *start beyond the
// section's last line runs nothing and returns 0.
int32_t RunSection(const char* name, int32_t* start);

// The main window's creation: runs section START from line 0 and leaves ResumeLine at 0 again; a
// START that returns 2 is resumed like any suspended section. The result of RunSection.
int32_t RunStartSection();
// The main window's NEWONE: runs the section handed over, from the line to resume, when a run has
// been asked for (else 0), and settles the hand-over with its result. The result of RunSection.
int32_t RunNextSection();

// Called after every executed line, whatever its result, with TraceLine complete: the debug
// window shows the line here, the script tool prints it. Nothing when unset.
extern void (*LineExecutedHook)();

// TraceLine: the line being executed, its line number and the values of its variable arguments,
// as the debug window and the debug file show it. 255 bytes at most: what does not fit is cut.
const int kTraceLineSize = 256;
extern char TraceLine[kTraceLineSize];

// "%s(%d):" with the line's text and number, before the line runs.
void TraceLineStart(const char* text, int32_t line_number);
// The argument parser adds the value of each variable argument.
void TraceLineAdd(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The interpreter's state as at program start, for tests and tools that run several scripts in
// one process: empties the SectionTable, the CommandTable, the VarTable, ScriptError and TraceLine, forgets
// the section hand-over and unsets LineExecutedHook. Main thread only, with no watcher running.
void ResetInterpreter();

#endif
