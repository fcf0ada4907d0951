#include "platform/clock.h"

static bool clock_stopped = false;
static ClockTime stopped_local;
static ClockTime stopped_utc;

void ClockLocalTime(ClockTime* out) {
  if (clock_stopped)
    *out = stopped_local;
  else
    PlatformLocalTime(out);
}

void ClockUtcTime(ClockTime* out) {
  if (clock_stopped)
    *out = stopped_utc;
  else
    PlatformUtcTime(out);
}

void ClockStop(const ClockTime& local, const ClockTime& utc) {
  stopped_local = local;
  stopped_utc = utc;
  clock_stopped = true;
}

void ClockRun() { clock_stopped = false; }
