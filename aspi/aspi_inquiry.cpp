// The device's name and size: INQUIRY and READ CAPACITY.
#include <cstring>

#include "aspi/aspi.h"

static void PrepareCommand(SRB_ExecSCSICmd* srb, int32_t adapter, int32_t target, int32_t lun) {
  std::memset(srb, 0, sizeof *srb);
  srb->SRB_Cmd = SC_EXEC_SCSI_CMD;
  srb->SRB_HaId = static_cast<uint8_t>(adapter);
  srb->SRB_Target = static_cast<uint8_t>(target);
  srb->SRB_Lun = static_cast<uint8_t>(lun);
  srb->SRB_Flags = SRB_DIR_IN;
  srb->SRB_SenseLen = SENSE_LEN;
}

int32_t DevInquiry(int32_t adapter, int32_t target, int32_t lun, char* name, size_t size) {
  uint8_t data[512];
  std::memset(data, 0, sizeof data);
  SRB_ExecSCSICmd srb;
  PrepareCommand(&srb, adapter, target, lun);
  srb.SRB_BufLen = 32;
  srb.SRB_BufPointer = data;
  srb.SRB_CDBLen = 6;
  srb.CDBByte[0] = SCSI_INQUIRY;
  srb.CDBByte[4] = 32;  // allocation length
  if (!ExecSrb(&srb)) return kAspiCommandTimeout;
  if (size == 0) return 0;
  // Vendor (8 bytes) and product (16 bytes) identification, taken as text.
  size_t length = 0;
  if (srb.SRB_Status == SS_COMP) {
    while (length < 24 && length + 1 < size && data[8 + length] != 0) ++length;
    std::memcpy(name, data + 8, length);
  }
  name[length] = '\0';
  return 0;
}

int32_t ReadCapacity(int32_t adapter, int32_t target) {
  uint8_t data[8];
  std::memset(data, 0, sizeof data);
  SRB_ExecSCSICmd srb;
  PrepareCommand(&srb, adapter, target, 0);
  srb.SRB_BufLen = sizeof data;
  srb.SRB_BufPointer = data;
  srb.SRB_CDBLen = 10;
  srb.CDBByte[0] = SCSI_READ_CAPACITY;
  if (!ExecSrb(&srb) || srb.SRB_Status != SS_COMP) return kAspiReadCapacityFailed;
  // The last sector number the device reports, taken as the size.
  TargetCapacity = static_cast<uint32_t>(data[0]) << 24 | static_cast<uint32_t>(data[1]) << 16 |
                   static_cast<uint32_t>(data[2]) << 8 | data[3];
  return 0;
}
