// Block devices as Linux reports them (/proc/self/mountinfo, /proc/swaps, /sys/dev/block), and
// their sector transfers for the engine.
#include <fcntl.h>
#include <limits.h>
#include <linux/fs.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iostream>
#include <sstream>

#include "aspi/aspi.h"
#include "tools/block_device.h"

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

// The kernel's name of the block device with these numbers ("sdb1"), or "".
std::string NameOfNumbers(unsigned major_number, unsigned minor_number) {
  char link[64];
  std::snprintf(link, sizeof link, "/sys/dev/block/%u:%u", major_number, minor_number);
  char real[PATH_MAX];
  if (realpath(link, real) == nullptr) return "";
  const char* slash = std::strrchr(real, '/');
  return slash ? slash + 1 : "";
}

std::string NameOfDevicePath(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) return "";
  return NameOfNumbers(major(st.st_rdev), minor(st.st_rdev));
}

// Each mount: its device's kernel name (from the numbers, else from the source) and mount point.
std::vector<std::pair<std::string, std::string>> Mounts() {
  std::vector<std::pair<std::string, std::string>> out;
  std::ifstream in("/proc/self/mountinfo");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, numbers, root, point;
    fields >> id >> parent >> numbers >> root >> point;
    unsigned ma = 0, mi = 0;
    std::string name;
    if (std::sscanf(numbers.c_str(), "%u:%u", &ma, &mi) == 2) name = NameOfNumbers(ma, mi);
    size_t dash = line.find(" - ");
    if (dash != std::string::npos) {
      std::istringstream rest(line.substr(dash + 3));
      std::string type, source;
      rest >> type >> source;
      std::string by_source = source.compare(0, 5, "/dev/") == 0 ? NameOfDevicePath(source) : "";
      if (!by_source.empty() && by_source != name) out.push_back({by_source, point});
    }
    if (!name.empty()) out.push_back({name, point});
  }
  return out;
}

std::vector<std::string> MountedNames() {
  std::vector<std::string> out;
  for (const auto& mount : Mounts()) out.push_back(mount.first);
  return out;
}

std::vector<std::string> SwapNames() {
  std::vector<std::string> out;
  std::ifstream in("/proc/swaps");
  std::string line;
  std::getline(in, line);  // the heading
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string path;
    fields >> path;
    struct stat st;
    if (stat(path.c_str(), &st) != 0) continue;
    std::string name = S_ISBLK(st.st_mode) ? NameOfNumbers(major(st.st_rdev), minor(st.st_rdev))
                                           : NameOfNumbers(major(st.st_dev), minor(st.st_dev));
    if (!name.empty()) out.push_back(name);
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

std::vector<std::string> SystemNames() {
  std::vector<std::string> out;
  for (const auto& mount : Mounts()) {
    const std::string& point = mount.second;
    if (point == "/" || point == "/usr" || point == "/boot" || point == "/boot/efi")
      AddWithSlaves(mount.first, &out, 0);
  }
  // The device the root directory lies on, whatever the mount table calls it.
  struct stat st;
  if (stat("/", &st) == 0) AddWithSlaves(NameOfNumbers(major(st.st_dev), minor(st.st_dev)), &out, 0);
  return out;
}

bool IsBlockDevice(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 && S_ISBLK(st.st_mode);
}

bool Describe(const char* path, BlockDeviceInfo* info, std::string* error) {
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISBLK(st.st_mode)) {
    *error = std::string(path) + " is no block device";
    return false;
  }
  info->path = path;
  info->name = NameOfNumbers(major(st.st_rdev), minor(st.st_rdev));
  if (info->name.empty()) {
    *error = std::string(path) + ": the system does not describe it in /sys/dev/block";
    return false;
  }
  const std::string sys = "/sys/class/block/" + info->name;
  info->whole_disk = !Exists(sys + "/partition");
  info->bytes = std::strtoull(ReadLine(sys + "/size").c_str(), nullptr, 10) * 512;
  std::string vendor = ReadLine(sys + "/device/vendor"), model = ReadLine(sys + "/device/model");
  info->model = vendor.empty() ? model : model.empty() ? vendor : vendor + " " + model;
  if (info->model.empty() && Exists(sys + "/loop/backing_file"))
    info->model = "loop device of " + ReadLine(sys + "/loop/backing_file");
  info->partitions.clear();
  info->holders = Entries(sys + "/holders");
  for (const std::string& entry : Entries(sys)) {
    if (!Exists(sys + "/" + entry + "/partition")) continue;
    info->partitions.push_back(entry);
    for (const std::string& holder : Entries(sys + "/" + entry + "/holders"))
      info->holders.push_back(holder);
  }
  return true;
}

std::string Ask(const std::string& question) {
  std::fputs(question.c_str(), stderr);
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) return "";
  return answer;
}

int device_fd = -1;
uint64_t device_sectors = 0;

bool Transfer(bool write, uint32_t lba, uint32_t count, void* buffer) {
  if (device_fd < 0 || uint64_t{lba} + count > device_sectors) return false;
  size_t length = size_t{count} * kSectorSize;
  off_t offset = static_cast<off_t>(lba) * kSectorSize;
  char* at = static_cast<char*>(buffer);
  while (length > 0) {
    ssize_t done = write ? pwrite(device_fd, at, length, offset) : pread(device_fd, at, length, offset);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    at += done;
    offset += done;
    length -= static_cast<size_t>(done);
  }
  return true;
}

int32_t DeviceDiskInfo(int32_t, int32_t, int32_t*, int32_t*) { return -1; }

int32_t DeviceRead(int32_t, int32_t target, uint32_t lba, uint32_t size, uint32_t count,
                   void* buffer) {
  if (target != 0 || size != kSectorSize) return -1;
  return Transfer(false, lba, count, buffer) ? 0 : -1;
}

int32_t DeviceWrite(int32_t, int32_t target, uint32_t lba, uint32_t size, uint32_t count,
                    const void* buffer) {
  if (target != 0 || size != kSectorSize) return -1;
  return Transfer(true, lba, count, const_cast<void*>(buffer)) ? 0 : -1;
}

}  // namespace

const BlockDeviceSystem kSystemBlockDevices = {IsBlockDevice, Describe,    MountedNames,
                                               SwapNames,     SystemNames, Ask};

bool BlockDeviceOpen(const BlockDeviceInfo& info, std::string* error) {
  // O_EXCL on a block device: refused while a file system is mounted from it or another program
  // holds it exclusively.
  int fd = open(info.path.c_str(), O_RDWR | O_EXCL | O_CLOEXEC);
  if (fd < 0) {
    *error = info.path + " cannot be opened exclusively: " + std::strerror(errno);
    return false;
  }
  uint64_t bytes = 0;
  if (ioctl(fd, BLKGETSIZE64, &bytes) != 0 || bytes < 512) {
    *error = info.path + ": its size cannot be read";
    close(fd);
    return false;
  }
  device_fd = fd;
  device_sectors = bytes / kSectorSize;
  if (device_sectors > 0x100000000ull) device_sectors = 0x100000000ull;
  TargetCapacity = static_cast<uint32_t>(device_sectors - 1);
  SectorTransferInstall(DeviceDiskInfo, DeviceRead, DeviceWrite);
  return true;
}

bool BlockDeviceFlush(std::string* error) {
  if (fsync(device_fd) != 0) {
    *error = std::string("writing out to the card failed: ") + std::strerror(errno);
    return false;
  }
  // The buffer cache's copy goes, so the comparison reads the card itself.
  ioctl(device_fd, BLKFLSBUF, 0);
  return true;
}

bool BlockDeviceClose(std::string* error, std::string* note) {
  bool ok = device_fd < 0 || BlockDeviceFlush(error);
  if (device_fd >= 0 && ioctl(device_fd, BLKRRPART) != 0)
    *note = std::string("the kernel did not read the new partition table: ") + std::strerror(errno) +
            " (take the card out and put it back)";
  if (device_fd >= 0) close(device_fd);
  device_fd = -1;
  device_sectors = 0;
  SectorTransferUseDevice();
  return ok;
}
