// Choosing the host adapter by its identifier.
#include <cstring>

#include "engine/aspi/aspi.h"
#include "engine/aspi/aspi_driver.h"
#include "engine/error_codes.h"

int32_t HaInquiry(int32_t adapter, const char* name) {
  if (SendASPI32Command == nullptr) return kEngineFailed;
  SRB_HAInquiry srb;
  std::memset(&srb, 0, sizeof srb);
  srb.SRB_Cmd = SC_HA_INQUIRY;
  srb.SRB_HaId = static_cast<uint8_t>(adapter);
  srb.SRB_Flags = 0;
  if (SendASPI32Command(&srb) != SS_COMP) return kEngineFailed;
  if (srb.HA_ManagerId[0] < 0x20) return kEngineFailed;
  // The identifier field is 16 bytes; one that fills it has no zero byte and ends with the field.
  size_t length = 0;
  while (length < sizeof srb.HA_Identifier && srb.HA_Identifier[length] != 0) ++length;
  if (std::strlen(name) != length) return kEngineFailed;
  return std::memcmp(srb.HA_Identifier, name, length) == 0 ? 0 : -1;
}

int32_t FindHostAdapter() {
  for (int32_t adapter = 0; adapter < HostAdapterCount; ++adapter) {
    if (HaInquiry(adapter, HostAdapterName) == 0) {
      AdapterNumber = adapter;
      return 1;
    }
  }
  AdapterNumber = -1;
  return 0;
}
