// ASPI for Win32 request blocks and constants, as the published interface lays them out. The
// engine fills them and the card emulator answers them, so both include this one header.
//
// Blocks are byte-packed. On the 32-bit build (kelvado.exe, WNASPI32.DLL) pointers are 4 bytes and
// the sizes are those of the interface. On 64-bit builds (the Win32 twin under wine64, the native
// tests) the pointer fields are 8 bytes wide and every later field moves with them; the program and
// the emulator are built from this one header, so both sides agree on each architecture.
#ifndef KELVADO_ASPI_SRB_H
#define KELVADO_ASPI_SRB_H

#include <cstddef>
#include <cstdint>

// Command codes (SRB_Cmd).
const uint8_t SC_HA_INQUIRY = 0x00;
const uint8_t SC_EXEC_SCSI_CMD = 0x02;
const uint8_t SC_ABORT_SRB = 0x03;
const uint8_t SC_GET_DISK_INFO = 0x06;

// Request status (SRB_Status, and bits 8-15 of GetASPI32SupportInfo's answer).
const uint8_t SS_PENDING = 0x00;
const uint8_t SS_COMP = 0x01;
const uint8_t SS_ABORTED = 0x02;
const uint8_t SS_ABORT_FAIL = 0x03;
const uint8_t SS_ERR = 0x04;
const uint8_t SS_INVALID_CMD = 0x80;
const uint8_t SS_INVALID_HA = 0x81;
const uint8_t SS_NO_DEVICE = 0x82;
const uint8_t SS_INVALID_SRB = 0xE0;
const uint8_t SS_ASPI_IS_BUSY = 0xE5;
const uint8_t SS_NO_ADAPTERS = 0xE8;

// Request flags (SRB_Flags).
const uint8_t SRB_POSTING = 0x01;
const uint8_t SRB_DIR_IN = 0x08;
const uint8_t SRB_DIR_OUT = 0x10;
const uint8_t SRB_EVENT_NOTIFY = 0x40;

// Host adapter status (SRB_HaStat) and target status (SRB_TargStat) used here.
const uint8_t HASTAT_OK = 0x00;
const uint8_t HASTAT_DO_DU = 0x12;  // data overrun or underrun
const uint8_t STATUS_GOOD = 0x00;
const uint8_t STATUS_CHKCOND = 0x02;

// Sense bytes asked for with every SCSI command.
const uint8_t SENSE_LEN = 14;

#pragma pack(push, 1)

struct SRB_HAInquiry {
  uint8_t SRB_Cmd;
  uint8_t SRB_Status;
  uint8_t SRB_HaId;
  uint8_t SRB_Flags;
  uint32_t SRB_Hdr_Rsvd;
  uint8_t HA_Count;
  uint8_t HA_SCSI_ID;
  uint8_t HA_ManagerId[16];
  uint8_t HA_Identifier[16];
  uint8_t HA_Unique[16];
  uint16_t HA_Rsvd1;
};

struct SRB_ExecSCSICmd {
  uint8_t SRB_Cmd;
  uint8_t SRB_Status;
  uint8_t SRB_HaId;
  uint8_t SRB_Flags;
  uint32_t SRB_Hdr_Rsvd;
  uint8_t SRB_Target;
  uint8_t SRB_Lun;
  uint16_t SRB_Rsvd1;
  uint32_t SRB_BufLen;
  uint8_t* SRB_BufPointer;
  uint8_t SRB_SenseLen;
  uint8_t SRB_CDBLen;
  uint8_t SRB_HaStat;
  uint8_t SRB_TargStat;
  void* SRB_PostProc;  // with SRB_EVENT_NOTIFY: the event the driver signals when it finishes
  uint8_t SRB_Rsvd2[20];
  uint8_t CDBByte[16];
  uint8_t SenseArea[SENSE_LEN + 2];
};

struct SRB_Abort {
  uint8_t SRB_Cmd;
  uint8_t SRB_Status;
  uint8_t SRB_HaId;
  uint8_t SRB_Flags;
  uint32_t SRB_Hdr_Rsvd;
  void* SRB_ToAbort;
};

struct SRB_GetDiskInfo {
  uint8_t SRB_Cmd;
  uint8_t SRB_Status;
  uint8_t SRB_HaId;
  uint8_t SRB_Flags;
  uint32_t SRB_Hdr_Rsvd;
  uint8_t SRB_Target;
  uint8_t SRB_Lun;
  uint8_t SRB_DriveFlags;
  uint8_t SRB_Int13HDriveInfo;
  uint8_t SRB_Heads;
  uint8_t SRB_Sectors;
  uint8_t SRB_Rsvd1[10];
};

#pragma pack(pop)

// Every request block begins with the same four bytes.
struct SRB_Header {
  uint8_t SRB_Cmd;
  uint8_t SRB_Status;
  uint8_t SRB_HaId;
  uint8_t SRB_Flags;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(SRB_HAInquiry) == 60, "SRB_HAInquiry is 60 bytes");
static_assert(sizeof(SRB_ExecSCSICmd) == 80, "SRB_ExecSCSICmd is 80 bytes");
static_assert(sizeof(SRB_GetDiskInfo) == 24, "SRB_GetDiskInfo is 24 bytes");
static_assert(sizeof(SRB_Abort) == 12, "SRB_Abort is 12 bytes");
static_assert(offsetof(SRB_HAInquiry, HA_Identifier) == 26, "HA_Identifier at 26");
static_assert(offsetof(SRB_ExecSCSICmd, SRB_BufPointer) == 16, "SRB_BufPointer at 16");
static_assert(offsetof(SRB_ExecSCSICmd, SRB_PostProc) == 24, "SRB_PostProc at 24");
static_assert(offsetof(SRB_ExecSCSICmd, CDBByte) == 48, "CDBByte at 48");
static_assert(offsetof(SRB_ExecSCSICmd, SenseArea) == 64, "SenseArea at 64");
static_assert(offsetof(SRB_GetDiskInfo, SRB_Heads) == 12, "SRB_Heads at 12");
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
static_assert(sizeof(SRB_HAInquiry) == 60, "SRB_HAInquiry is 60 bytes");
static_assert(sizeof(SRB_ExecSCSICmd) == 88, "SRB_ExecSCSICmd is 88 bytes with 8-byte pointers");
static_assert(sizeof(SRB_GetDiskInfo) == 24, "SRB_GetDiskInfo is 24 bytes");
static_assert(sizeof(SRB_Abort) == 16, "SRB_Abort is 16 bytes with an 8-byte pointer");
static_assert(offsetof(SRB_HAInquiry, HA_Identifier) == 26, "HA_Identifier at 26");
static_assert(offsetof(SRB_ExecSCSICmd, SRB_BufPointer) == 16, "SRB_BufPointer at 16");
static_assert(offsetof(SRB_ExecSCSICmd, SRB_PostProc) == 28, "SRB_PostProc at 28");
static_assert(offsetof(SRB_ExecSCSICmd, CDBByte) == 56, "CDBByte at 56");
static_assert(offsetof(SRB_ExecSCSICmd, SenseArea) == 72, "SenseArea at 72");
static_assert(offsetof(SRB_GetDiskInfo, SRB_Heads) == 12, "SRB_Heads at 12");
#endif

// SCSI operation codes the engine sends.
const uint8_t SCSI_TEST_UNIT_READY = 0x00;
const uint8_t SCSI_INQUIRY = 0x12;
const uint8_t SCSI_READ_CAPACITY = 0x25;
const uint8_t SCSI_READ10 = 0x28;
const uint8_t SCSI_WRITE10 = 0x2A;

// The entry points of an ASPI for Win32 driver library; both are __cdecl.
#if defined(_WIN32) && !defined(_WIN64)
#define ASPI_CDECL __cdecl
#else
#define ASPI_CDECL
#endif
typedef uint32_t(ASPI_CDECL* GetASPI32SupportInfoFunction)();
typedef uint32_t(ASPI_CDECL* SendASPI32CommandFunction)(void* srb);

#endif
