// What the bytes behind a path stand on, and so which writes reach which reads: files (one for
// every link to them), whole disks and their partitions, loop devices (over a file or a device,
// at an offset), device mapper and RAID devices (over the devices under them), and the file
// systems mounted from any of them. kelvado-card judges by it, whatever the path it is given,
// whether a card could overlap the source it is made from and whether the card is in use.
//
// A base is where bytes end up: a file ("file MAJOR:MINOR:INODE") or a whole disk that stands
// on nothing else ("sdc"). Writing a path writes its bases (a loop device over a file writes
// that file); reading a path depends on its bases and, for a file, on the disk its file system
// lies on (a file in a file system mounted from a loop device over card.img depends on
// card.img).
//
// What the system says comes through Storage, which tests replace with a stand-in;
// storage_linux.cpp reads it from stat, /proc and /sys.
#ifndef KELVADO_TOOLS_STORAGE_H
#define KELVADO_TOOLS_STORAGE_H

#include <cstdint>
#include <string>
#include <vector>

// What the system says of a path.
struct PathFacts {
  enum Kind { kMissing, kFile, kFolder, kBlockDevice, kOther };
  Kind kind = kMissing;
  std::string path;    // as given
  std::string what;    // kOther: "a FIFO", "a socket", "a character device"
  std::string id;      // kFile, kFolder: "file MAJOR:MINOR:INODE", the same for every link
  std::string on;      // kFile, kFolder, kMissing: the block device of the file system it is
                       // (or would be made) in, "" when none (tmpfs)
  std::string where;   // that file system's mount point, for messages
  std::string device;  // kBlockDevice: its kernel name ("sdc", "loop3", "dm-0")
  std::vector<std::string> folders;  // the ids of the folders it lies in, innermost first
};

// What the system says of a block device.
struct BlockDeviceInfo {
  std::string path;          // as given
  std::string name;          // the kernel's name
  bool whole_disk = true;    // false for a partition
  std::string disk;          // a partition's disk
  uint64_t bytes = 0;
  uint32_t sector_bytes = 512;  // the logical sector size
  std::string model;         // vendor and model as the system reports them, or the loop's file
  std::vector<std::string> partitions;  // kernel names of its partitions
  std::vector<std::string> holders;     // what holds the device itself (dm-0, md127)
  std::vector<std::string> slaves;      // device mapper, RAID: the devices under it
  // A loop device: the file or device it stands on, and from which byte.
  bool loop = false;
  PathFacts backing;
  uint64_t loop_offset = 0;
};

struct MountEntry {
  std::string device;  // kernel name
  std::string point;
};

struct StorageSystem {
  PathFacts (*path)(const char* path);
  // What the system knows of the device `name`; false with the reason.
  bool (*describe)(const std::string& name, BlockDeviceInfo* info, std::string* error);
  // The kernel names of every block device.
  std::vector<std::string> (*devices)();
  std::vector<MountEntry> (*mounts)();
  // The swap areas: devices or files.
  std::vector<PathFacts> (*swaps)();
  // Kernel names of the devices the running system stands on: those of /, /usr and /boot and,
  // through device mapper and RAID, the devices under them.
  std::vector<std::string> (*system)();
  // Shows `question` and reads the answer (one line); "" at the end of the input.
  std::string (*ask)(const std::string& question);
};
extern StorageSystem Storage;
// The system's own (storage_linux.cpp).
extern const StorageSystem kSystemStorage;

// A base reached from a path, and how, step by step ("loop3 is a loop device over c.img").
struct Reach {
  std::string base;
  std::vector<std::string> how;
};
// The bases writing `facts` writes.
std::vector<Reach> BasesWritten(const PathFacts& facts);
// The bases reading `facts` depends on.
std::vector<Reach> BasesRead(const PathFacts& facts);
// The same for a block device known by its kernel name.
std::vector<Reach> DeviceBasesRead(const std::string& name);

// Why writing `target` could change `source`, naming the case, or "" when it cannot.
std::string OverlapProblem(const PathFacts& source, const PathFacts& target);
// Why two targets cannot both be written: the same file or device given twice, or one that
// writes the other or lies on it (a partition of another target, a loop device over it, an
// image in a file system on it). "" when they are apart.
std::string TargetsOverlap(const PathFacts& a, const PathFacts& b);
// Why `target` is in use (a file system mounted from anything standing on it, swap on it, a
// holder of anything standing on it, the running system), or "" when it is not.
std::string InUseProblem(const PathFacts& target);

#endif
