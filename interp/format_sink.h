// What the value formatters share: the output that keeps what fits and counts the rest, the walk
// through a format text with one conversion, and the reading of a width or precision.
#ifndef KELVADO_INTERP_FORMAT_SINK_H
#define KELVADO_INTERP_FORMAT_SINK_H

#include <cstddef>
#include <cstdint>

// Bytes go into `out` while there is room (a terminator always fits behind them); the rest is
// only counted. A sink without a buffer only measures.
struct FormatSink {
  char* out;
  size_t room;
  size_t length;
};

void SinkStart(FormatSink* sink, char* out, size_t size);
void SinkMeasure(FormatSink* sink);
void SinkPut(FormatSink* sink, char c);
void SinkRepeat(FormatSink* sink, char c, size_t count);
void SinkText(FormatSink* sink, const char* text, size_t length);
// Terminates what was kept.
void SinkEnd(FormatSink* sink);

// Writes the text of a conversion whose letters start at *at (behind its '%') and moves *at
// behind them; false when the formatter does not make such a conversion.
typedef bool (*ConversionWriter)(const char** at, FormatSink* sink, const void* value);

// Formats `format` into `out` (`size` bytes, cut to fit, terminator included): its text as it
// stands, "%%" as a percent sign, and at most one conversion, written by `write` for `value`.
// False, with the empty text in `out`, when `write` refuses the conversion or there is a second.
bool FormatOneValue(char* out, size_t size, const char* format, ConversionWriter write,
                    const void* value);

// Widths and precisions above this cannot show in a 255-byte text; a format asking for more is
// refused.
const uint32_t kFieldLimit = 9999;

// Reads the decimal digits at *at (none is 0) and moves *at behind them; false when the number
// exceeds kFieldLimit.
bool ReadFieldNumber(const char** at, uint32_t* value);

#endif
