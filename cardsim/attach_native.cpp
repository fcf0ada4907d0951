// Natively the emulator is linked into the program: this points the engine's driver seam at it.
#include <cstring>

#include "aspi/aspi_driver_native.h"
#include "cardsim/attach_native.h"

static uint32_t SupportInfo() { return CardSimGetSupportInfo(); }
static uint32_t SendCommand(void* srb) { return CardSimSendCommand(srb); }

int32_t CardSimAttach(const CardSimConfig& config) {
  if (config.load_fails) {
    CardSimStop();
    AspiLinkDriver(nullptr, nullptr);
    return 0;
  }
  int32_t result = CardSimStart(config);
  bool no_support = std::strcmp(config.missing_entry, "GetASPI32SupportInfo") == 0;
  bool no_send = std::strcmp(config.missing_entry, "SendASPI32Command") == 0;
  AspiLinkDriver(no_support ? nullptr : SupportInfo, no_send ? nullptr : SendCommand);
  return result;
}

int32_t CardSimAttach() {
  CardSimConfig config;
  int32_t refused = CardSimConfigFromEnvironment(&config);
  int32_t result = CardSimAttach(config);
  return refused > 0 ? -1 : result;
}
