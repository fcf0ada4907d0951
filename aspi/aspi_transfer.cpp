// What the rest of the engine calls: the target's geometry and the sector transfers, the device
// layer's own by default.
#include <cstring>

#include "aspi/aspi.h"
#include "aspi/aspi_driver.h"

GetDiskInfoFunction GetDiskInfo = DeviceGetDiskInfo;
ReadSectorsFunction ReadSectors = DeviceReadSectors;
WriteSectorsFunction WriteSectors = DeviceWriteSectors;

void SectorTransferInstall(GetDiskInfoFunction get_disk_info, ReadSectorsFunction read,
                           WriteSectorsFunction write) {
  GetDiskInfo = get_disk_info;
  ReadSectors = read;
  WriteSectors = write;
}

void SectorTransferUseDevice() {
  SectorTransferInstall(DeviceGetDiskInfo, DeviceReadSectors, DeviceWriteSectors);
}

int32_t DeviceGetDiskInfo(int32_t adapter, int32_t target, int32_t* heads,
                          int32_t* sectors_per_track) {
  if (DriverSendCommandEntry == nullptr) return kAspiFailed;
  SRB_GetDiskInfo srb;
  std::memset(&srb, 0, sizeof srb);
  srb.SRB_Cmd = SC_GET_DISK_INFO;
  srb.SRB_HaId = static_cast<uint8_t>(adapter);
  srb.SRB_Flags = 0;
  srb.SRB_Target = static_cast<uint8_t>(target);
  srb.SRB_Lun = 0;
  if (DriverSendCommandEntry(&srb) != SS_COMP) return kAspiFailed;
  *heads = srb.SRB_Heads;
  *sectors_per_track = srb.SRB_Sectors;
  return 0;
}

static int32_t ExecSectorTransfer(uint8_t opcode, uint8_t direction, int32_t adapter,
                                  int32_t target, uint32_t lba, uint32_t sector_size,
                                  uint32_t count, const void* buffer) {
  // The length field is 32 bits and the count field 16: a larger request cannot be expressed.
  if (count > 0xFFFF || (sector_size != 0 && count > 0xFFFFFFFFu / sector_size))
    return kAspiFailed;
  SRB_ExecSCSICmd srb;
  std::memset(&srb, 0, sizeof srb);
  srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
  srb.SRB_HaId = static_cast<uint8_t>(adapter);
  srb.SRB_Target = static_cast<uint8_t>(target);
  srb.SRB_Lun = 0;
  srb.SRB_Flags = direction;
  srb.SRB_BufLen = sector_size * count;
  srb.SRB_BufPointer = static_cast<uint8_t*>(const_cast<void*>(buffer));
  srb.SRB_SenseLen = SENSE_LEN;
  srb.SRB_CDBLen = 10;
  srb.CDBByte[0] = opcode;
  srb.CDBByte[2] = static_cast<uint8_t>(lba >> 24);
  srb.CDBByte[3] = static_cast<uint8_t>(lba >> 16);
  srb.CDBByte[4] = static_cast<uint8_t>(lba >> 8);
  srb.CDBByte[5] = static_cast<uint8_t>(lba);
  srb.CDBByte[7] = static_cast<uint8_t>(count >> 8);
  srb.CDBByte[8] = static_cast<uint8_t>(count);
  return ExecSrb(&srb) == 1 && srb.SRB_Status == SS_COMP ? 0 : kAspiFailed;
}

int32_t DeviceReadSectors(int32_t adapter, int32_t target, uint32_t lba, uint32_t sector_size,
                          uint32_t count, void* buffer) {
  return ExecSectorTransfer(SCSI_READ10, SRB_DIR_IN, adapter, target, lba, sector_size, count,
                            buffer);
}

int32_t DeviceWriteSectors(int32_t adapter, int32_t target, uint32_t lba, uint32_t sector_size,
                           uint32_t count, const void* buffer) {
  return ExecSectorTransfer(SCSI_WRITE10, SRB_DIR_OUT, adapter, target, lba, sector_size, count,
                            buffer);
}
