// aspi_probe.exe: goes through the device layer of kelvado.exe against the WNASPI32.DLL next to
// it, step by step as the adapter set-up does, and prints each step's result on a line of its own
// for the e2e test to compare with the card image.
//
//   aspi_probe.exe [--wait MS] [--adapter NAME] [read LBA COUNT]... [write LBA COUNT SEED]...
//
//   load CODE                 AspiLoad
//   adapters COUNT            the host adapter count
//   find FOUND NUMBER         FindHostAdapter and the adapter number
//   device RESULT [NAME]      DevInquiry, target 0, unit 0
//   capacity RESULT SECTORS   ReadCapacity, target 0
//   read LBA COUNT RESULT HASH   ReadSectors; HASH is the FNV-1a hash of the data, in hex
//   write LBA COUNT RESULT    WriteSectors of bytes (SEED + 7 * i) mod 256
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "aspi/aspi.h"

static uint32_t Fnv1a(const uint8_t* data, uint32_t length) {
  uint32_t hash = 2166136261u;
  for (uint32_t i = 0; i < length; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash;
}

static void Line(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stdout, format, args);
  va_end(args);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

static void Read(uint32_t lba, uint32_t count) {
  uint8_t* data = static_cast<uint8_t*>(std::calloc(count ? count : 1, kSectorSize));
  int32_t result = ReadSectors(AdapterNumber, 0, lba, kSectorSize, count, data);
  Line("read %lu %lu %ld %08lx", static_cast<unsigned long>(lba), static_cast<unsigned long>(count),
       static_cast<long>(result), static_cast<unsigned long>(Fnv1a(data, count * kSectorSize)));
  std::free(data);
}

static void Write(uint32_t lba, uint32_t count, uint32_t seed) {
  uint8_t* data = static_cast<uint8_t*>(std::calloc(count ? count : 1, kSectorSize));
  for (uint32_t i = 0; i < count * kSectorSize; ++i) data[i] = static_cast<uint8_t>(seed + 7 * i);
  int32_t result = WriteSectors(AdapterNumber, 0, lba, kSectorSize, count, data);
  Line("write %lu %lu %ld", static_cast<unsigned long>(lba), static_cast<unsigned long>(count),
       static_cast<long>(result));
  std::free(data);
}

static uint32_t Number(const char* text) {
  return static_cast<uint32_t>(std::strtoul(text, nullptr, 0));
}

int main(int argc, char** argv) {
  std::strcpy(HostAdapterName, "njata95");
  int at = 1;
  for (; at + 1 < argc && argv[at][0] == '-'; at += 2) {
    if (std::strcmp(argv[at], "--wait") == 0) AspiWaitMs = Number(argv[at + 1]);
    if (std::strcmp(argv[at], "--adapter") == 0)
      std::snprintf(HostAdapterName, sizeof HostAdapterName, "%s", argv[at + 1]);
  }
  int32_t code = AspiLoad();
  Line("load %ld", static_cast<long>(code));
  if (code != 0) return 0;
  Line("adapters %ld", static_cast<long>(HostAdapterCount));
  int32_t found = FindHostAdapter();
  Line("find %ld %ld", static_cast<long>(found), static_cast<long>(AdapterNumber));
  if (found) {
    char name[32] = "";
    int32_t result = DevInquiry(AdapterNumber, 0, 0, name, sizeof name);
    Line("device %ld %s", static_cast<long>(result), name);
    result = ReadCapacity(AdapterNumber, 0);
    Line("capacity %ld %lu", static_cast<long>(result), static_cast<unsigned long>(TargetCapacity));
    for (; at + 2 < argc; at += 3) {
      if (std::strcmp(argv[at], "read") == 0) {
        Read(Number(argv[at + 1]), Number(argv[at + 2]));
      } else if (std::strcmp(argv[at], "write") == 0 && at + 3 < argc) {
        Write(Number(argv[at + 1]), Number(argv[at + 2]), Number(argv[at + 3]));
        ++at;
      } else {
        break;
      }
    }
  }
  AspiUnload();
  Line("unloaded");
  return 0;
}
