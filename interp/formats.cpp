#include "interp/formats.h"

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
