// The card as a SCSI direct-access device: INQUIRY, READ CAPACITY, READ(10), WRITE(10) and
// TEST UNIT READY on the image, with the configured faults. Errors end as CHECK CONDITION with
// fixed-format sense data, as a disk reports them.
#include <cstring>

#include "cardsim/card.h"

// Sense keys and additional sense codes used.
const uint8_t kNotReady = 0x02, kMediumError = 0x03, kHardwareError = 0x04;
const uint8_t kIllegalRequest = 0x05, kDataProtect = 0x07;

struct Sense {
  uint8_t key, asc, ascq;
  bool has_lba;
  uint32_t lba;
};

static void Good(SRB_ExecSCSICmd* srb) {
  srb->SRB_HaStat = HASTAT_OK;
  srb->SRB_TargStat = STATUS_GOOD;
  srb->SRB_Status = SS_COMP;
}

static void CheckCondition(SRB_ExecSCSICmd* srb, Sense sense) {
  uint8_t data[18];
  std::memset(data, 0, sizeof data);
  data[0] = sense.has_lba ? 0xF0 : 0x70;
  data[2] = sense.key;
  if (sense.has_lba) {
    data[3] = static_cast<uint8_t>(sense.lba >> 24);
    data[4] = static_cast<uint8_t>(sense.lba >> 16);
    data[5] = static_cast<uint8_t>(sense.lba >> 8);
    data[6] = static_cast<uint8_t>(sense.lba);
  }
  data[7] = 10;  // additional sense length
  data[12] = sense.asc;
  data[13] = sense.ascq;
  size_t length = srb->SRB_SenseLen;
  if (length > sizeof srb->SenseArea) length = sizeof srb->SenseArea;
  std::memcpy(srb->SenseArea, data, length);
  srb->SRB_HaStat = HASTAT_OK;
  srb->SRB_TargStat = STATUS_CHKCOND;
  srb->SRB_Status = SS_ERR;
}

static void Fail(SRB_ExecSCSICmd* srb, uint8_t key, uint8_t asc, uint8_t ascq) {
  CheckCondition(srb, Sense{key, asc, ascq, false, 0});
}

// The buffer cannot take what the command moves: the host adapter stops the transfer.
static void Overrun(SRB_ExecSCSICmd* srb) {
  srb->SRB_HaStat = HASTAT_DO_DU;
  srb->SRB_TargStat = STATUS_GOOD;
  srb->SRB_Status = SS_ERR;
}

static void PutText(uint8_t* to, size_t size, const char* text) {
  std::memset(to, ' ', size);
  size_t length = std::strlen(text);
  std::memcpy(to, text, length < size ? length : size);
}

static void ExecuteInquiry(SRB_ExecSCSICmd* srb) {
  if (Card.config.inquiry == kFail) return Fail(srb, kHardwareError, 0x44, 0x00);
  if (srb->CDBByte[1] & 0x01) return Fail(srb, kIllegalRequest, 0x24, 0x00);  // no vital pages
  uint8_t data[36];
  std::memset(data, 0, sizeof data);
  data[0] = 0x00;  // direct-access device
  data[1] = 0x80;  // removable medium
  data[2] = 0x02;  // SCSI-2
  data[3] = 0x02;  // response data format
  data[4] = sizeof data - 5;
  PutText(data + 8, 8, Card.config.vendor);
  PutText(data + 16, 16, Card.config.product);
  PutText(data + 32, 4, Card.config.revision);
  size_t length = srb->CDBByte[4];
  if (length > sizeof data) length = sizeof data;
  if (length > srb->SRB_BufLen) length = srb->SRB_BufLen;
  if (length > 0 && srb->SRB_BufPointer == nullptr) return Overrun(srb);
  if (length > 0) std::memcpy(srb->SRB_BufPointer, data, length);
  Good(srb);
}

static void ExecuteReadCapacity(SRB_ExecSCSICmd* srb) {
  if (Card.config.capacity == kFail) return Fail(srb, kHardwareError, 0x44, 0x00);
  if (Card.image == nullptr || Card.sectors == 0) return Fail(srb, kNotReady, 0x3A, 0x00);
  if (srb->SRB_BufLen < 8 || srb->SRB_BufPointer == nullptr) return Overrun(srb);
  uint64_t last = Card.sectors - 1;
  uint32_t reported = last > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(last);
  uint8_t* data = srb->SRB_BufPointer;
  data[0] = static_cast<uint8_t>(reported >> 24);
  data[1] = static_cast<uint8_t>(reported >> 16);
  data[2] = static_cast<uint8_t>(reported >> 8);
  data[3] = static_cast<uint8_t>(reported);
  data[4] = 0;
  data[5] = 0;
  data[6] = static_cast<uint8_t>(kCardSectorSize >> 8);
  data[7] = static_cast<uint8_t>(kCardSectorSize);
  Good(srb);
}

static uint32_t CommandLba(const SRB_ExecSCSICmd& srb) {
  return static_cast<uint32_t>(srb.CDBByte[2]) << 24 | static_cast<uint32_t>(srb.CDBByte[3]) << 16 |
         static_cast<uint32_t>(srb.CDBByte[4]) << 8 | srb.CDBByte[5];
}

static uint32_t CommandSectorCount(const SRB_ExecSCSICmd& srb) {
  return static_cast<uint32_t>(srb.CDBByte[7]) << 8 | srb.CDBByte[8];
}

// The first sector from `lba` on that the list names (the caller knows there is one).
static uint32_t FirstListed(const SectorList& list, uint32_t lba) {
  uint32_t at = lba;
  while (!SectorListTouches(list, at, 1)) ++at;
  return at;
}

static void ExecuteReadWrite(SRB_ExecSCSICmd* srb, bool write) {
  uint32_t lba = CommandLba(*srb), count = CommandSectorCount(*srb);
  if (Card.image == nullptr || Card.sectors == 0) return Fail(srb, kNotReady, 0x3A, 0x00);
  if (static_cast<uint64_t>(lba) + count > Card.sectors)
    return Fail(srb, kIllegalRequest, 0x21, 0x00);
  if (count == 0) return Good(srb);
  uint64_t length = static_cast<uint64_t>(count) * kCardSectorSize;
  if (srb->SRB_BufLen < length || srb->SRB_BufPointer == nullptr) return Overrun(srb);
  const SectorList& faulty = write ? Card.config.write_fail : Card.config.read_fail;
  if (SectorListTouches(faulty, lba, count)) {
    Sense sense{kMediumError, static_cast<uint8_t>(write ? 0x0C : 0x11), 0x00, true,
                FirstListed(faulty, lba)};
    return CheckCondition(srb, sense);
  }
  if (write && Card.read_only) return Fail(srb, kDataProtect, 0x27, 0x00);
  uint64_t offset = static_cast<uint64_t>(lba) * kCardSectorSize;
  bool done =
      write ? ImageWrite(Card.image, offset, srb->SRB_BufPointer, static_cast<uint32_t>(length))
            : ImageRead(Card.image, offset, srb->SRB_BufPointer, static_cast<uint32_t>(length));
  if (!done) return Fail(srb, kHardwareError, 0x44, 0x00);
  if (write) ReinsertionAfterWrite(lba, count);
  Good(srb);
}

static uint8_t CommandLength(uint8_t opcode) { return opcode < 0x20 ? 6 : 10; }

bool ScsiRequestHangs(const SRB_ExecSCSICmd& srb) {
  switch (srb.CDBByte[0]) {
    case SCSI_INQUIRY:
      return Card.config.inquiry == kHang;
    case SCSI_READ_CAPACITY:
      return Card.config.capacity == kHang;
    case SCSI_READ10:
      return SectorListTouches(Card.config.read_hang, CommandLba(srb), CommandSectorCount(srb));
    case SCSI_WRITE10:
      return SectorListTouches(Card.config.write_hang, CommandLba(srb), CommandSectorCount(srb));
    default:
      return false;
  }
}

void ScsiExecute(SRB_ExecSCSICmd* srb) {
  uint8_t opcode = srb->CDBByte[0];
  if (srb->SRB_CDBLen < CommandLength(opcode)) return Fail(srb, kIllegalRequest, 0x24, 0x00);
  switch (opcode) {
    case SCSI_TEST_UNIT_READY:
      if (Card.image == nullptr) return Fail(srb, kNotReady, 0x3A, 0x00);
      return Good(srb);
    case SCSI_INQUIRY:
      return ExecuteInquiry(srb);
    case SCSI_READ_CAPACITY:
      return ExecuteReadCapacity(srb);
    case SCSI_READ10:
      return ExecuteReadWrite(srb, false);
    case SCSI_WRITE10:
      return ExecuteReadWrite(srb, true);
    default:
      return Fail(srb, kIllegalRequest, 0x20, 0x00);
  }
}
