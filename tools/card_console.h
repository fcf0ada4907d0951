// kelvado-card's terminal: the engine's Shift-JIS texts as UTF-8, its progress bar and status
// texts drawn on standard error.
#ifndef KELVADO_TOOLS_CARD_CONSOLE_H
#define KELVADO_TOOLS_CARD_CONSOLE_H

#include <string>

// `sjis` converted from code page 932 to UTF-8 (bytes that do not convert become '?').
std::string Utf8FromSjis(const char* sjis);

// `text` as it may go to a terminal: control bytes (C0, DEL and the C1 controls), and bytes that
// are not UTF-8, written as \xHH, so that a name cannot drive the person's terminal.
std::string ConsoleText(const std::string& text);

// Registers a progress bar and a status line with the engine hooks and draws them on stderr:
// each status text on a line of its own, the bar redrawn in place as its position changes.
void ShowEngineOnStderr();
// Ends the bar's line, if one is drawn.
void EndProgressLine();

#endif
