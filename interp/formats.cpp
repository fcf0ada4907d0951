#include "interp/formats.h"

#include "interp/arguments.h"
#include "platform/text.h"

void SinkStart(FormatSink* sink, char* out, size_t size) {
  sink->out = size > 0 ? out : nullptr;
  sink->room = size > 0 ? size - 1 : 0;
  sink->length = 0;
}

void SinkMeasure(FormatSink* sink) { SinkStart(sink, nullptr, 0); }

void SinkPut(FormatSink* sink, char c) {
  if (sink->length < sink->room) sink->out[sink->length] = c;
  ++sink->length;
}

void SinkRepeat(FormatSink* sink, char c, size_t count) {
  size_t kept = sink->length < sink->room ? sink->room - sink->length : 0;
  if (kept > count) kept = count;
  for (size_t i = 0; i < kept; ++i) sink->out[sink->length + i] = c;
  sink->length += count;
}

void SinkText(FormatSink* sink, const char* text, size_t length) {
  for (size_t i = 0; i < length; ++i) SinkPut(sink, text[i]);
}

void SinkEnd(FormatSink* sink) {
  if (sink->out == nullptr) return;
  sink->out[sink->length < sink->room ? sink->length : sink->room] = '\0';
}

bool FormatOneValue(char* out, size_t size, const char* format, ConversionWriter write,
                    const void* value) {
  FormatSink sink;
  SinkStart(&sink, out, size);
  bool converted = false;
  for (const char* p = format; *p != '\0';) {
    if (*p != '%') {
      SinkPut(&sink, *p++);
    } else if (p[1] == '%') {
      SinkPut(&sink, '%');
      p += 2;
    } else {
      ++p;
      if (converted || !write(&p, &sink, value)) {
        SinkStart(&sink, out, size);
        SinkEnd(&sink);
        return false;
      }
      converted = true;
    }
  }
  SinkEnd(&sink);
  return true;
}

bool ReadFieldNumber(const char** at, uint32_t* value) {
  uint32_t number = 0;
  const char* p = *at;
  for (; *p >= '0' && *p <= '9'; ++p) {
    number = number * 10 + static_cast<uint32_t>(*p - '0');
    if (number > kFieldLimit) return false;
  }
  *value = number;
  *at = p;
  return true;
}

// The text is made in a buffer of its own (the target may be the format's own slot) and cut to
// the 255 bytes of the target without splitting a double-byte character. A format that the
// formatters refuse gives the empty text; the command still succeeds.
static const size_t kSlot = 256;

// IValToStr,value,format,text: text := format applied to the integer value, as wsprintfA does.
int32_t FuncIValToStr(char* args) {
  int32_t* value;
  char* format;
  char* text;
  int32_t result =
      ReadArguments("FuncIValToStr", args, Value(&value), Value(&format), NewVar(&text));
  if (result < 0) return result;
  char made[2 * kSlot];
  FormatInteger(made, sizeof made, format, *value);
  TextCopy(text, kSlot, made);
  return kGoOn;
}

// FValToStr,value,format,text: text := format applied to the real value, as printf does.
int32_t FuncFValToStr(char* args) {
  double* value;
  char* format;
  char* text;
  int32_t result =
      ReadArguments("FuncFValToStr", args, Value(&value), Value(&format), NewVar(&text));
  if (result < 0) return result;
  char made[2 * kSlot];
  FormatReal(made, sizeof made, format, *value);
  TextCopy(text, kSlot, made);
  return kGoOn;
}
