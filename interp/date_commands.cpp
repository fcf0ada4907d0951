#include "interp/commands.h"

#include "interp/arguments.h"
#include "platform/clock.h"
#include "platform/text.h"

static const size_t kSlot = 256;

// The local time, read once per command, with the year as its last two digits: the year printed
// as "%4d" without its first two characters.
struct Moment {
  char year[8];
  int month, day, hour, minute, second;
};

static Moment Now() {
  ClockTime now;
  ClockLocalTime(&now);
  Moment moment;
  char year[8];
  TextFormat(year, sizeof year, "%4d", now.year);
  TextCopy(moment.year, sizeof moment.year, year + 2);
  moment.month = now.month;
  moment.day = now.day;
  moment.hour = now.hour;
  moment.minute = now.minute;
  moment.second = now.second;
  return moment;
}

enum Layout { kDateAndTime, kDateOnly, kTimeOnly };

// The commands that write one text: GetDateTime ('YY/MM/DD hh:mm), GetDate ('YY/MM/DD) and
// GetTime (hh:mm).
static int32_t OneText(const char* handler, char* args, Layout layout) {
  char* text;
  int32_t result = ReadArguments(handler, args, NewVar(&text));
  if (result < 0) return result;
  Moment now = Now();
  if (layout == kTimeOnly)
    TextFormat(text, kSlot, "%02d:%02d", now.hour, now.minute);
  else if (layout == kDateOnly)
    TextFormat(text, kSlot, "'%s/%02d/%02d", now.year, now.month, now.day);
  else
    TextFormat(text, kSlot, "'%s/%02d/%02d %02d:%02d", now.year, now.month, now.day, now.hour,
               now.minute);
  return kGoOn;
}

int32_t FuncGetDateTime(char* args) { return OneText("FuncGetDateTime", args, kDateAndTime); }
int32_t FuncGetDate(char* args) { return OneText("FuncGetDate", args, kDateOnly); }
int32_t FuncGetTime(char* args) { return OneText("FuncGetTime", args, kTimeOnly); }

// GetDateTime2,year,month,day,hour,minute,second: 'YY and the others as two digits each.
int32_t FuncGetDateTime2(char* args) {
  char* year;
  char* month;
  char* day;
  char* hour;
  char* minute;
  char* second;
  int32_t result = ReadArguments("FuncGetDateTime2", args, NewVar(&year), NewVar(&month),
                                 NewVar(&day), NewVar(&hour), NewVar(&minute), NewVar(&second));
  if (result < 0) return result;
  Moment now = Now();
  TextFormat(year, kSlot, "'%s", now.year);
  TextFormat(month, kSlot, "%02d", now.month);
  TextFormat(day, kSlot, "%02d", now.day);
  TextFormat(hour, kSlot, "%02d", now.hour);
  TextFormat(minute, kSlot, "%02d", now.minute);
  TextFormat(second, kSlot, "%02d", now.second);
  return kGoOn;
}
