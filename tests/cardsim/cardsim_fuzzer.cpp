// Arbitrary card contents and SCSI commands against the emulator's device: no request may read or
// write outside its buffer, whatever its lengths and CDB say, and the reinsertion must survive any
// partition table and boot sector.
//
// Input: 64 bytes of sector list text (the failing reads, up to the first zero byte), a command
// count, that many 16-byte commands (10 CDB bytes, buffer length, CDB length, sense length,
// target, flags), then the card image (at most 64 sectors; a partial last sector is dropped).
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cardsim/card.h"

static std::string FuzzFolder;

static void RemoveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(FuzzFolder, ignored);
}

// A folder for the image and the volume serial file, removed when the process ends.
static std::string Folder() {
  if (FuzzFolder.empty()) {
    char pattern[] = "/tmp/cardsim-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) return "";
    FuzzFolder = pattern;
    std::atexit(RemoveFolder);
  }
  return FuzzFolder;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const size_t kHead = 65, kCommand = 16;
  if (size < kHead) return 0;
  std::string folder = Folder();
  if (folder.empty()) return 0;
  CardSimConfig config;
  CardSimDefaults(&config);
  char list[65];
  std::memcpy(list, data, 64);
  list[64] = '\0';
  ParseSectorList(list, &config.read_fail);
  size_t commands = data[64] % 9;
  if (size < kHead + commands * kCommand) return 0;
  const uint8_t* command = data + kHead;
  const uint8_t* image = command + commands * kCommand;
  size_t image_size = size - kHead - commands * kCommand;
  image_size = (image_size > 64 * 512 ? 64 * 512 : image_size) / 512 * 512;

  std::string path = folder + "/card.img";
  int fd = open(path.c_str(), O_CREAT | O_RDWR | O_TRUNC, 0644);
  if (fd < 0) return 0;
  bool written = write(fd, image, image_size) == static_cast<ssize_t>(image_size);
  close(fd);
  if (!written) return 0;
  std::snprintf(config.image, sizeof config.image, "%s", path.c_str());
  std::snprintf(config.volume_dir, sizeof config.volume_dir, "%s", folder.c_str());
  CardSimStart(config);  // reads the table and boot sector of the card as inserted

  for (size_t i = 0; i < commands; ++i, command += kCommand) {
    SRB_ExecSCSICmd srb;
    std::memset(&srb, 0, sizeof srb);
    srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
    std::memcpy(srb.CDBByte, command, 10);
    uint32_t length = (static_cast<uint32_t>(command[10]) | command[11] << 8) % (72 * 512);
    srb.SRB_CDBLen = command[12] % 17;
    srb.SRB_SenseLen = command[13];
    srb.SRB_Target = command[14] & 1;
    srb.SRB_Flags = command[15] & (SRB_DIR_IN | SRB_DIR_OUT);
    std::vector<uint8_t> buffer(length ? length : 1, 0xA5);
    srb.SRB_BufPointer = length ? buffer.data() : nullptr;
    srb.SRB_BufLen = length;
    if (srb.SRB_Target == 0)
      ScsiExecute(&srb);
    else
      CardSimSendCommand(&srb);  // misdirected: answered at once
  }
  CardSimStop();
  return 0;
}
