// What Linux says of paths and block devices: stat, /proc/self/mountinfo, /proc/swaps,
// /sys/class/block and, for a loop device's file, LOOP_GET_STATUS64.
#include <fcntl.h>
#include <limits.h>
#include <linux/loop.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/card/storage.h"

namespace {

std::string ReadLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  size_t end = line.find_last_not_of(" \t\r\n");
  return end == std::string::npos ? "" : line.substr(0, end + 1);
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> out;
  if (DIR* d = opendir(dir.c_str())) {
    while (struct dirent* e = readdir(d))
      if (e->d_name[0] != '.') out.push_back(e->d_name);
    closedir(d);
  }
  return out;
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The kernel's name of the block device with these numbers ("sdb1"), or "".
std::string NameOfNumbers(dev_t numbers) {
  char link[64];
  std::snprintf(link, sizeof link, "/sys/dev/block/%u:%u", major(numbers), minor(numbers));
  char real[PATH_MAX];
  if (realpath(link, real) == nullptr) return "";
  return BaseName(real);
}

std::string NameOfDevicePath(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) return "";
  return NameOfNumbers(st.st_rdev);
}

std::string FileId(dev_t device, ino_t inode) {
  return "file " + std::to_string(major(device)) + ":" + std::to_string(minor(device)) + ":" +
         std::to_string(inode);
}

struct Mount {
  dev_t numbers;
  std::string device;  // kernel name, from the numbers or else from the mount's source
  std::string point;
};

std::vector<Mount> ReadMounts() {
  std::vector<Mount> out;
  std::ifstream in("/proc/self/mountinfo");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, numbers, root, point;
    fields >> id >> parent >> numbers >> root >> point;
    unsigned ma = 0, mi = 0;
    if (std::sscanf(numbers.c_str(), "%u:%u", &ma, &mi) != 2) continue;
    Mount mount = {makedev(ma, mi), NameOfNumbers(makedev(ma, mi)), point};
    size_t dash = line.find(" - ");
    if (dash != std::string::npos) {
      std::istringstream rest(line.substr(dash + 3));
      std::string type, source;
      rest >> type >> source;
      // Btrfs and the like show numbers of their own: the source names the device.
      std::string by_source = source.compare(0, 5, "/dev/") == 0 ? NameOfDevicePath(source) : "";
      if (!by_source.empty() && by_source != mount.device) {
        out.push_back({mount.numbers, by_source, point});
        if (mount.device.empty()) continue;
      }
    }
    if (!mount.device.empty()) out.push_back(mount);
  }
  return out;
}

// The device and mount point of the file system whose files have st_dev `numbers`.
void FileSystemOf(dev_t numbers, PathFacts* facts) {
  facts->on = NameOfNumbers(numbers);
  for (const Mount& mount : ReadMounts()) {
    if (mount.numbers != numbers) continue;
    if (facts->on.empty()) facts->on = mount.device;
    facts->where = mount.point;
    return;
  }
}

// The ids of the folders `real` (an absolute path without links) lies in, innermost first.
std::vector<std::string> FoldersOf(const std::string& real) {
  std::vector<std::string> out;
  std::string at = real;
  while (at != "/") {
    at = DirName(at);
    struct stat st;
    if (stat(at.c_str(), &st) == 0) out.push_back(FileId(st.st_dev, st.st_ino));
  }
  return out;
}

PathFacts FactsOfPath(const char* path) {
  PathFacts facts;
  facts.path = path;
  struct stat st;
  if (stat(path, &st) != 0) {
    // A file yet to be made: the file system and folders it would be made in.
    facts.kind = PathFacts::kMissing;
    std::string parent = DirName(path);
    char real[PATH_MAX];
    if (stat(parent.c_str(), &st) == 0 && realpath(parent.c_str(), real) != nullptr) {
      FileSystemOf(st.st_dev, &facts);
      facts.folders = FoldersOf(std::string(real) + "/x");
    }
    return facts;
  }
  if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) {
    facts.kind = S_ISREG(st.st_mode) ? PathFacts::kFile : PathFacts::kFolder;
    facts.id = FileId(st.st_dev, st.st_ino);
    FileSystemOf(st.st_dev, &facts);
  } else if (S_ISBLK(st.st_mode)) {
    facts.kind = PathFacts::kBlockDevice;
    facts.device = NameOfNumbers(st.st_rdev);
    if (facts.device.empty()) {
      facts.kind = PathFacts::kOther;
      facts.what = "a block device the system does not describe in /sys/dev/block";
    }
  } else {
    facts.kind = PathFacts::kOther;
    facts.what = S_ISFIFO(st.st_mode) ? "a FIFO" : S_ISSOCK(st.st_mode) ? "a socket"
               : S_ISCHR(st.st_mode) ? "a character device" : "a special file";
  }
  char real[PATH_MAX];
  if (realpath(path, real) != nullptr) facts.folders = FoldersOf(real);
  return facts;
}

// What a loop device stands on: its file (by the numbers the kernel keeps, which hold even when
// the file was renamed or its path is another mount namespace's) or its device.
void LoopBacking(const std::string& name, const std::string& sys, BlockDeviceInfo* info) {
  info->loop = true;
  std::string file = ReadLine(sys + "/loop/backing_file");
  info->loop_offset = std::strtoull(ReadLine(sys + "/loop/offset").c_str(), nullptr, 10);
  info->backing = FactsOfPath(file.c_str());
  int fd = open(("/dev/" + name).c_str(), O_RDONLY | O_CLOEXEC);
  struct loop_info64 status;
  if (fd >= 0 && ioctl(fd, LOOP_GET_STATUS64, &status) == 0 &&
      info->backing.kind != PathFacts::kBlockDevice) {
    info->backing.kind = PathFacts::kFile;
    info->backing.path = file;
    info->backing.id = FileId(static_cast<dev_t>(status.lo_device), static_cast<ino_t>(status.lo_inode));
    info->backing.on.clear();
    info->backing.where.clear();
    FileSystemOf(static_cast<dev_t>(status.lo_device), &info->backing);
  }
  if (fd >= 0) close(fd);
}

bool Describe(const std::string& name, BlockDeviceInfo* info, std::string* error) {
  const std::string sys = "/sys/class/block/" + name;
  char real[PATH_MAX];
  if (name.empty() || name.find('/') != std::string::npos || realpath(sys.c_str(), real) == nullptr) {
    *error = name + ": the system does not describe it in /sys/class/block";
    return false;
  }
  *info = BlockDeviceInfo();
  info->path = "/dev/" + name;
  info->name = name;
  info->whole_disk = !Exists(sys + "/partition");
  if (!info->whole_disk) info->disk = BaseName(DirName(real));
  const std::string disk_sys = info->whole_disk ? sys : "/sys/class/block/" + info->disk;
  info->bytes = std::strtoull(ReadLine(sys + "/size").c_str(), nullptr, 10) * 512;
  std::string sector = ReadLine(disk_sys + "/queue/logical_block_size");
  if (!sector.empty()) info->sector_bytes = static_cast<uint32_t>(std::strtoul(sector.c_str(), nullptr, 10));
  std::string vendor = ReadLine(disk_sys + "/device/vendor"), model = ReadLine(disk_sys + "/device/model");
  info->model = vendor.empty() ? model : model.empty() ? vendor : vendor + " " + model;
  info->holders = Entries(sys + "/holders");
  info->slaves = Entries(sys + "/slaves");
  for (const std::string& entry : Entries(sys))
    if (Exists(sys + "/" + entry + "/partition")) info->partitions.push_back(entry);
  if (Exists(sys + "/loop")) {
    LoopBacking(name, sys, info);
    if (info->model.empty()) info->model = "loop device of " + info->backing.path;
  }
  return true;
}

std::vector<std::string> Devices() { return Entries("/sys/class/block"); }

std::vector<MountEntry> Mounts() {
  std::vector<MountEntry> out;
  for (const Mount& mount : ReadMounts()) out.push_back({mount.device, mount.point});
  return out;
}

std::vector<PathFacts> Swaps() {
  std::vector<PathFacts> out;
  std::ifstream in("/proc/swaps");
  std::string line;
  std::getline(in, line);  // the heading
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string path;
    fields >> path;
    PathFacts facts = FactsOfPath(path.c_str());
    if (facts.kind == PathFacts::kFile || facts.kind == PathFacts::kBlockDevice) out.push_back(facts);
  }
  return out;
}

// `name` and, through /sys/class/block/NAME/slaves, every device under it.
void AddWithSlaves(const std::string& name, std::vector<std::string>* out, int depth) {
  if (name.empty() || depth > 16) return;
  out->push_back(name);
  for (const std::string& slave : Entries("/sys/class/block/" + name + "/slaves"))
    AddWithSlaves(slave, out, depth + 1);
}

std::vector<std::string> SystemDevices() {
  std::vector<std::string> out;
  for (const Mount& mount : ReadMounts()) {
    const std::string& point = mount.point;
    if (point == "/" || point == "/usr" || point == "/boot" || point == "/boot/efi")
      AddWithSlaves(mount.device, &out, 0);
  }
  // The device the root directory lies on, whatever the mount table calls it.
  struct stat st;
  if (stat("/", &st) == 0) AddWithSlaves(NameOfNumbers(st.st_dev), &out, 0);
  return out;
}

std::string Ask(const std::string& question) {
  std::fputs(question.c_str(), stderr);
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) return "";
  return answer;
}

}  // namespace

const StorageSystem kSystemStorage = {FactsOfPath, Describe, Devices, Mounts,
                                      Swaps,       SystemDevices, Ask};
