#include <windows.h>

#include "platform/clock.h"

static void FromSystemTime(const SYSTEMTIME& st, ClockTime* out) {
  out->year = st.wYear;
  out->month = st.wMonth;
  out->day_of_week = st.wDayOfWeek;
  out->day = st.wDay;
  out->hour = st.wHour;
  out->minute = st.wMinute;
  out->second = st.wSecond;
  out->milliseconds = st.wMilliseconds;
}

void ClockLocalTime(ClockTime* out) {
  SYSTEMTIME st;
  GetLocalTime(&st);
  FromSystemTime(st, out);
}

void ClockUtcTime(ClockTime* out) {
  SYSTEMTIME st;
  GetSystemTime(&st);
  FromSystemTime(st, out);
}
