// The emulator's entry points: the support information and the four request kinds.
#include "cardsim/card.h"

#include <cstring>

CardState Card;
static bool Started = false;

int32_t CardSimStart(const CardSimConfig& config) {
  CardSimStop();
  Card.config = config;
  if (Card.config.adapter_count < 0) Card.config.adapter_count = 0;
  if (Card.config.adapter_count > kMaxAdapters) Card.config.adapter_count = kMaxAdapters;
  Card.image = nullptr;
  Card.sectors = 0;
  Card.read_only = false;
  int32_t result = 0;
  if (config.image[0] != '\0') {
    Card.image = ImageOpen(config.image, &Card.read_only);
    if (Card.image) {
      Card.sectors = ImageSize(Card.image) / kCardSectorSize;
    } else {
      HostReport("the image cannot be opened; the card has no medium");
      result = -1;
    }
  }
  WorkerInit();
  Started = true;
  ReinsertionStart();
  return result;
}

void CardSimStop() {
  if (!Started) return;
  WorkerStop();
  if (Card.image) ImageClose(Card.image);
  Card.image = nullptr;
  Card.sectors = 0;
  Started = false;
}

uint32_t CardSimGetSupportInfo() {
  if (Card.config.support_raises) HostRaiseException();
  return static_cast<uint32_t>(Card.config.support_status) << 8 |
         static_cast<uint32_t>(Card.config.adapter_count & 0xFF);
}

static bool IsAdapter(uint8_t adapter) { return Started && adapter < Card.config.adapter_count; }

static bool IsCard(uint8_t adapter, uint8_t target, uint8_t lun) {
  return adapter == Card.config.card_adapter && target == 0 && lun == 0;
}

static void PutField(uint8_t* to, size_t size, const char* text) {
  std::memset(to, 0, size);
  size_t length = std::strlen(text);
  std::memcpy(to, text, length < size ? length : size);
}

static uint32_t AnswerHaInquiry(SRB_HAInquiry* srb) {
  srb->HA_Count = static_cast<uint8_t>(Card.config.adapter_count);
  srb->HA_SCSI_ID = 7;
  PutField(srb->HA_ManagerId, sizeof srb->HA_ManagerId, Card.config.manager);
  PutField(srb->HA_Identifier, sizeof srb->HA_Identifier, Card.config.adapters[srb->SRB_HaId]);
  std::memset(srb->HA_Unique, 0, sizeof srb->HA_Unique);
  srb->HA_Unique[3] = 8;     // targets on the bus
  srb->HA_Unique[6] = 0x10;  // largest transfer: 1 MiB (little-endian at 4)
  return srb->SRB_Status = SS_COMP;
}

static uint32_t AnswerGetDiskInfo(SRB_GetDiskInfo* srb) {
  if (!IsCard(srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun)) return srb->SRB_Status = SS_NO_DEVICE;
  srb->SRB_DriveFlags = 0;
  srb->SRB_Int13HDriveInfo = 0;
  srb->SRB_Heads = Card.config.heads;
  srb->SRB_Sectors = Card.config.sectors_per_track;
  return srb->SRB_Status = SS_COMP;
}

// SCSI commands are carried out by the worker; this answers SS_PENDING, or an error at once.
static uint32_t ExecScsiCommand(SRB_ExecSCSICmd* srb) {
  if (!IsCard(srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun)) return srb->SRB_Status = SS_NO_DEVICE;
  if ((srb->SRB_Flags & SRB_POSTING) || srb->SRB_CDBLen == 0 || srb->SRB_CDBLen > 16)
    return srb->SRB_Status = SS_INVALID_SRB;
  if (!WorkerSubmit(srb, ScsiRequestHangs(*srb))) return srb->SRB_Status = SS_ASPI_IS_BUSY;
  return SS_PENDING;
}

uint32_t CardSimSendCommand(void* request) {
  if (request == nullptr) return SS_INVALID_SRB;
  SRB_Header* header = static_cast<SRB_Header*>(request);
  if (header->SRB_Cmd != SC_ABORT_SRB && !IsAdapter(header->SRB_HaId))
    return header->SRB_Status = SS_INVALID_HA;
  switch (header->SRB_Cmd) {
    case SC_HA_INQUIRY:
      return AnswerHaInquiry(static_cast<SRB_HAInquiry*>(request));
    case SC_EXEC_SCSI_CMD:
      return ExecScsiCommand(static_cast<SRB_ExecSCSICmd*>(request));
    case SC_ABORT_SRB: {
      SRB_Abort* abort = static_cast<SRB_Abort*>(request);
      return abort->SRB_Status = Started ? WorkerAbort(abort->SRB_ToAbort) : SS_ABORT_FAIL;
    }
    case SC_GET_DISK_INFO:
      return AnswerGetDiskInfo(static_cast<SRB_GetDiskInfo*>(request));
    default:
      return header->SRB_Status = SS_INVALID_CMD;
  }
}

int32_t CardSimHeldRequests() { return Started ? WorkerHeld() : 0; }

void CardSimReleaseHeld() {
  if (Started) WorkerReleaseHeld();
}
