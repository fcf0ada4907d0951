#include <chrono>
#include <ctime>

#include "platform/clock_native.h"

static void FromTm(const std::tm& tm, int milliseconds, ClockTime* out) {
  out->year = static_cast<uint16_t>(tm.tm_year + 1900);
  out->month = static_cast<uint16_t>(tm.tm_mon + 1);
  out->day_of_week = static_cast<uint16_t>(tm.tm_wday);
  out->day = static_cast<uint16_t>(tm.tm_mday);
  out->hour = static_cast<uint16_t>(tm.tm_hour);
  out->minute = static_cast<uint16_t>(tm.tm_min);
  out->second = static_cast<uint16_t>(tm.tm_sec);
  out->milliseconds = static_cast<uint16_t>(milliseconds);
}

static void Now(std::time_t* seconds, int* milliseconds) {
  using namespace std::chrono;
  auto since_epoch = system_clock::now().time_since_epoch();
  *seconds = static_cast<std::time_t>(duration_cast<std::chrono::seconds>(since_epoch).count());
  *milliseconds = static_cast<int>(duration_cast<std::chrono::milliseconds>(since_epoch).count() % 1000);
}

static void HostLocalTime(ClockTime* out) {
  std::time_t seconds;
  int ms;
  Now(&seconds, &ms);
  std::tm tm;
  localtime_r(&seconds, &tm);
  FromTm(tm, ms, out);
}

static void HostUtcTime(ClockTime* out) {
  std::time_t seconds;
  int ms;
  Now(&seconds, &ms);
  std::tm tm;
  gmtime_r(&seconds, &tm);
  FromTm(tm, ms, out);
}

static bool clock_stopped = false;
static ClockTime stopped_local;
static ClockTime stopped_utc;

void ClockLocalTime(ClockTime* out) {
  if (clock_stopped)
    *out = stopped_local;
  else
    HostLocalTime(out);
}

void ClockUtcTime(ClockTime* out) {
  if (clock_stopped)
    *out = stopped_utc;
  else
    HostUtcTime(out);
}

void ClockStop(const ClockTime& local, const ClockTime& utc) {
  stopped_local = local;
  stopped_utc = utc;
  clock_stopped = true;
}

void ClockRun() { clock_stopped = false; }
