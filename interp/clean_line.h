// CleanLine: the cleaning that the loader and the line executor apply to every script line.
#ifndef KELVADO_INTERP_CLEAN_LINE_H
#define KELVADO_INTERP_CLEAN_LINE_H

// Longest line, in bytes, that cleaning keeps.
const int kLineLimit = 255;

// Cleans `line` in place: reads at most 255 bytes; a zero byte or ";" ends the line (even inside
// double quotes); outside double quotes white space is dropped. The result is never longer than
// the input, and cleaning it again changes nothing.
void CleanLine(char* line);

#endif
