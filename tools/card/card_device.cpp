#include "tools/card/card_device.h"

#include <cstdio>
#include <cstring>

#include "aspi/aspi.h"
#include "cardsim/attach_native.h"

static void CopyText(char* to, size_t size, const std::string& text) {
  size_t length = text.size() < size ? text.size() : size - 1;
  std::memcpy(to, text.data(), length);
  to[length] = '\0';
}

// The emulator's one host adapter bears the --adapter name and answers GetDiskInfo with --heads
// and --spt; --bad-read and --bad-write become its failing sectors.
bool AttachCard(const CardDeviceOptions& o, const char* image) {
  CardSimConfig config;
  CardSimDefaults(&config);
  if (image != nullptr) {
    if (std::strlen(image) >= sizeof config.image) {
      std::fprintf(stderr, "kelvado-card: %s: the path is too long\n", image);
      return false;
    }
    CopyText(config.image, sizeof config.image, image);
  }
  CopyText(config.adapters[0], sizeof config.adapters[0], o.adapter);
  config.heads = static_cast<uint8_t>(o.heads);
  config.sectors_per_track = static_cast<uint8_t>(o.sectors_per_track);
  config.read_fail = o.bad_reads;
  config.write_fail = o.bad_writes;
  if (CardSimAttach(config) == 0) return true;
  std::fprintf(stderr, "kelvado-card: %s: cannot be opened\n", image);
  CardSimStop();
  return false;
}

int32_t OpenDevice(bool read_capacity) {
  int32_t result = AspiLoad();
  if (result != 0) return result;
  if (FindHostAdapter() == 0) return 202;
  result = DevInquiry(AdapterNumber, 0, 0, TargetDeviceName, sizeof TargetDeviceName);
  if (result == 0 && read_capacity) result = ReadCapacity(AdapterNumber, 0);
  return result;
}

void DetachCard() {
  AspiUnload();
  CardSimStop();
}
