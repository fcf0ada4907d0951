// kelvado-card's terminal: the engine's Shift-JIS texts as UTF-8, and the engine's report drawn on
// standard error: its status texts and its progress bar.
#ifndef KELVADO_TOOLS_CARD_CONSOLE_H
#define KELVADO_TOOLS_CARD_CONSOLE_H

#include <string>

#include "fat/tree.h"

// `sjis` converted from code page 932 to UTF-8 (bytes that do not convert become '?').
std::string Utf8FromSjis(const char* sjis);

// `text` as it may go to a terminal: control bytes (C0, DEL and the C1 controls), and bytes that
// are not UTF-8, written as \xHH, so that a name cannot drive the person's terminal.
std::string ConsoleText(const std::string& text);

// One line of the report on standard output, its control bytes escaped, flushed at once.
void Say(const std::string& line);

// "N files, N folders, N bytes".
std::string CountText(const TreeCount& count);

// Registers the console as the engine's report, on stderr: each status text on a line of its own,
// the bar redrawn in place as its position changes. The drive figures and the copy's names are
// not shown; kelvado-card says its errors in its own words.
void ShowEngineOnStderr();
// Ends the bar's line, if one is drawn.
void EndProgressLine();

#endif
