// The emulator's configuration: its defaults and the CARDSIM_* environment variables.
#include <cstdio>
#include <cstring>

#include "cardsim/cardsim.h"
#include "cardsim/host.h"

static void CopyText(char* to, size_t size, const char* text) {
  size_t length = std::strlen(text);
  if (length >= size) length = size - 1;
  std::memcpy(to, text, length);
  to[length] = '\0';
}

// A path is never cut: a shorter one would name another file.
static bool CopyPath(char* to, size_t size, const char* text) {
  if (std::strlen(text) >= size) return false;
  CopyText(to, size, text);
  return true;
}

void CardSimDefaults(CardSimConfig* config) {
  std::memset(config, 0, sizeof *config);
  config->adapter_count = 1;
  CopyText(config->adapters[0], sizeof config->adapters[0], "njata95");
  config->card_adapter = 0;
  CopyText(config->manager, sizeof config->manager, "ASPI for WIN32");
  CopyText(config->vendor, sizeof config->vendor, "MOVANTA");
  CopyText(config->product, sizeof config->product, "ATA CARD");
  CopyText(config->revision, sizeof config->revision, "1.00");
  config->heads = 16;
  config->sectors_per_track = 63;
  config->support_status = 0x01;  // SS_COMP
}

static bool ParseUnsigned(const char* text, uint32_t base, uint32_t max, uint32_t* value) {
  uint64_t number = 0;
  if (*text == '\0') return false;
  for (const char* at = text; *at; ++at) {
    uint32_t digit;
    if (*at >= '0' && *at <= '9')
      digit = static_cast<uint32_t>(*at - '0');
    else if (base == 16 && *at >= 'a' && *at <= 'f')
      digit = static_cast<uint32_t>(*at - 'a' + 10);
    else if (base == 16 && *at >= 'A' && *at <= 'F')
      digit = static_cast<uint32_t>(*at - 'A' + 10);
    else
      return false;
    number = number * base + digit;
    if (number > max) return false;
  }
  *value = static_cast<uint32_t>(number);
  return true;
}

static void SplitAdapters(const char* text, CardSimConfig* config) {
  config->adapter_count = 0;
  if (*text == '\0') return;
  const char* at = text;
  while (config->adapter_count < kMaxAdapters) {
    const char* end = std::strchr(at, ',');
    size_t length = end ? static_cast<size_t>(end - at) : std::strlen(at);
    char* name = config->adapters[config->adapter_count++];
    if (length >= sizeof config->adapters[0]) length = sizeof config->adapters[0] - 1;
    std::memcpy(name, at, length);
    name[length] = '\0';
    if (!end) break;
    at = end + 1;
  }
}

static bool ParseFault(const char* text, CommandFault* fault) {
  if (std::strcmp(text, "ok") == 0)
    *fault = kAnswer;
  else if (std::strcmp(text, "fail") == 0)
    *fault = kFail;
  else if (std::strcmp(text, "hang") == 0)
    *fault = kHang;
  else
    return false;
  return true;
}

static bool ParseSwitch(const char* text, bool* value) {
  if (std::strcmp(text, "0") == 0)
    *value = false;
  else if (std::strcmp(text, "1") == 0)
    *value = true;
  else
    return false;
  return true;
}

static int32_t Refuse(const char* name, const char* value) {
  char message[400];
  std::snprintf(message, sizeof message, "%s: value \"%.300s\" refused; default kept", name, value);
  HostReport(message);
  return 1;
}

int32_t CardSimConfigFromEnvironment(CardSimConfig* config) {
  CardSimDefaults(config);
  int32_t refused = 0;
  char value[300];
  uint32_t number;
  if (HostGetEnv("CARDSIM_IMAGE", value, sizeof value) &&
      !CopyPath(config->image, sizeof config->image, value))
    refused += Refuse("CARDSIM_IMAGE", value);
  if (HostGetEnv("CARDSIM_ADAPTERS", value, sizeof value)) SplitAdapters(value, config);
  if (HostGetEnv("CARDSIM_CARD_ADAPTER", value, sizeof value)) {
    if (ParseUnsigned(value, 10, kMaxAdapters - 1, &number))
      config->card_adapter = static_cast<int32_t>(number);
    else
      refused += Refuse("CARDSIM_CARD_ADAPTER", value);
  }
  if (HostGetEnv("CARDSIM_MANAGER", value, sizeof value))
    CopyText(config->manager, sizeof config->manager, value);
  if (HostGetEnv("CARDSIM_VENDOR", value, sizeof value))
    CopyText(config->vendor, sizeof config->vendor, value);
  if (HostGetEnv("CARDSIM_PRODUCT", value, sizeof value))
    CopyText(config->product, sizeof config->product, value);
  if (HostGetEnv("CARDSIM_REVISION", value, sizeof value))
    CopyText(config->revision, sizeof config->revision, value);
  if (HostGetEnv("CARDSIM_HEADS", value, sizeof value)) {
    if (ParseUnsigned(value, 10, 255, &number))
      config->heads = static_cast<uint8_t>(number);
    else
      refused += Refuse("CARDSIM_HEADS", value);
  }
  if (HostGetEnv("CARDSIM_SECTORS", value, sizeof value)) {
    if (ParseUnsigned(value, 10, 255, &number))
      config->sectors_per_track = static_cast<uint8_t>(number);
    else
      refused += Refuse("CARDSIM_SECTORS", value);
  }
  struct {
    const char* name;
    SectorList* list;
  } lists[] = {{"CARDSIM_READ_FAIL", &config->read_fail},
               {"CARDSIM_WRITE_FAIL", &config->write_fail},
               {"CARDSIM_READ_HANG", &config->read_hang},
               {"CARDSIM_WRITE_HANG", &config->write_hang}};
  for (auto& entry : lists) {
    if (HostGetEnv(entry.name, value, sizeof value) && !ParseSectorList(value, entry.list))
      refused += Refuse(entry.name, value);
  }
  if (HostGetEnv("CARDSIM_INQUIRY", value, sizeof value) && !ParseFault(value, &config->inquiry))
    refused += Refuse("CARDSIM_INQUIRY", value);
  if (HostGetEnv("CARDSIM_CAPACITY", value, sizeof value) && !ParseFault(value, &config->capacity))
    refused += Refuse("CARDSIM_CAPACITY", value);
  if (HostGetEnv("CARDSIM_ABORT", value, sizeof value)) {
    if (std::strcmp(value, "ok") == 0)
      config->abort_fails = false;
    else if (std::strcmp(value, "fail") == 0)
      config->abort_fails = true;
    else
      refused += Refuse("CARDSIM_ABORT", value);
  }
  if (HostGetEnv("CARDSIM_SUPPORT_STATUS", value, sizeof value)) {
    if (ParseUnsigned(value, 16, 255, &number))
      config->support_status = static_cast<uint8_t>(number);
    else
      refused += Refuse("CARDSIM_SUPPORT_STATUS", value);
  }
  if (HostGetEnv("CARDSIM_SUPPORT_RAISES", value, sizeof value) &&
      !ParseSwitch(value, &config->support_raises))
    refused += Refuse("CARDSIM_SUPPORT_RAISES", value);
  if (HostGetEnv("CARDSIM_LOAD_FAILS", value, sizeof value) &&
      !ParseSwitch(value, &config->load_fails))
    refused += Refuse("CARDSIM_LOAD_FAILS", value);
  if (HostGetEnv("CARDSIM_MISSING_ENTRY", value, sizeof value)) {
    if (std::strcmp(value, "GetASPI32SupportInfo") == 0 ||
        std::strcmp(value, "SendASPI32Command") == 0 || value[0] == '\0')
      CopyText(config->missing_entry, sizeof config->missing_entry, value);
    else
      refused += Refuse("CARDSIM_MISSING_ENTRY", value);
  }
  if (HostGetEnv("CARDSIM_VOLUME_DIR", value, sizeof value) &&
      !CopyPath(config->volume_dir, sizeof config->volume_dir, value))
    refused += Refuse("CARDSIM_VOLUME_DIR", value);
  if (HostGetEnv("CARDSIM_VOLUME_DRIVE", value, sizeof value)) {
    char letter = value[0] >= 'a' && value[0] <= 'z' ? static_cast<char>(value[0] - 'a' + 'A') : value[0];
    bool plain = letter >= 'A' && letter <= 'Z' &&
                 (value[1] == '\0' || (value[1] == ':' && value[2] == '\0'));
    if (plain)
      config->volume_drive = letter;
    else
      refused += Refuse("CARDSIM_VOLUME_DRIVE", value);
  }
  return refused;
}
