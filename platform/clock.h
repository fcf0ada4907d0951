// The clock: local time and UTC as Win32's SYSTEMTIME gives them. Dated files, the date and time
// commands and volume serials read it here, so tests can stand the clock at a chosen moment.
#ifndef KELVADO_PLATFORM_CLOCK_H
#define KELVADO_PLATFORM_CLOCK_H

#include <cstdint>

struct ClockTime {
  uint16_t year;
  uint16_t month;        // 1-12
  uint16_t day_of_week;  // 0 = Sunday
  uint16_t day;          // 1-31
  uint16_t hour;         // 0-23
  uint16_t minute;
  uint16_t second;
  uint16_t milliseconds;
};

// GetLocalTime and GetSystemTime in kelvado.exe; natively the host's clock, or the moments a test
// stopped it at (platform/clock_native.h).
void ClockLocalTime(ClockTime* out);
void ClockUtcTime(ClockTime* out);

#endif
