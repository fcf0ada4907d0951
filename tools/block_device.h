// A card in a reader (a block device of the host) as kelvado-card's target, written only when it
// is safe: never a partition, a device with a mounted file system (on it or on any of its
// partitions), one in use as swap or under the running system, or one another layer holds
// (device mapper, RAID); its model and size are shown from the system, and writing starts only
// after --yes or a typed confirmation.
//
// What the system says about its devices comes through BlockDevices, which tests replace with a
// stand-in; block_device_native.cpp reads it from /proc and /sys.
#ifndef KELVADO_TOOLS_BLOCK_DEVICE_H
#define KELVADO_TOOLS_BLOCK_DEVICE_H

#include <cstdint>
#include <string>
#include <vector>

struct BlockDeviceInfo {
  std::string path;      // as given
  std::string name;      // the kernel's name: "sdb", "mmcblk0", "loop3"
  bool whole_disk = true;  // false for a partition
  uint64_t bytes = 0;
  std::string model;     // vendor and model as the system reports them, or the loop's file
  std::vector<std::string> partitions;  // kernel names of its partitions
  std::vector<std::string> holders;     // what holds it or a partition (dm-0, md127)
};

struct BlockDeviceSystem {
  // True when `path` names a block device.
  bool (*is_block_device)(const char* path);
  // What the system knows of the device; false with the reason.
  bool (*describe)(const char* path, BlockDeviceInfo* info, std::string* error);
  // Kernel names of the devices with a mounted file system.
  std::vector<std::string> (*mounted)();
  // Kernel names of the devices in use as swap (a swap file's: the device it lies on).
  std::vector<std::string> (*swap)();
  // Kernel names of the devices the running system stands on: those of /, /usr and /boot and,
  // through device mapper and RAID, the devices under them.
  std::vector<std::string> (*system)();
  // Shows `question` and reads the answer (one line); "" at the end of the input.
  std::string (*ask)(const std::string& question);
};
extern BlockDeviceSystem BlockDevices;
// The system's own (block_device_native.cpp).
extern const BlockDeviceSystem kSystemBlockDevices;

// Why the device must not be written, or "" when it may be.
std::string BlockDeviceRefusal(const BlockDeviceInfo& info);

// "1.9 GiB" and the like.
std::string SizeText(uint64_t bytes);

// Describes and judges the device, prints what it is, and asks (unless `yes`) for "yes" or the
// device's name to be typed. True when it may be written; false with the reason in *error.
bool ConfirmBlockDevice(const char* path, bool yes, BlockDeviceInfo* info, std::string* error);

// Opens the device exclusively (no other exclusive opener, no mounted file system) and installs
// its sector transfers as the engine's, with TargetCapacity set from its size. False with why.
bool BlockDeviceOpen(const BlockDeviceInfo& info, std::string* error);
// Writes out what the system holds back and drops its cached copy of the device, so that what
// is read next comes from the card. False with why.
bool BlockDeviceFlush(std::string* error);
// Flushes, asks the kernel to read the partition table again and closes the device, putting
// the device layer's transfers back. A re-read the kernel refuses is told in *note.
bool BlockDeviceClose(std::string* error, std::string* note);

#endif
