// The rules a block device is judged by, over whatever BlockDevices reports.
#include "tools/block_device.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

BlockDeviceSystem BlockDevices = kSystemBlockDevices;

namespace {

bool Holds(const std::vector<std::string>& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r\n");
  size_t last = text.find_last_not_of(" \t\r\n");
  return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

}  // namespace

std::string SizeText(uint64_t bytes) {
  char text[64];
  const double mib = static_cast<double>(bytes) / (1 << 20);
  if (mib >= 1024)
    std::snprintf(text, sizeof text, "%.1f GiB", mib / 1024);
  else
    std::snprintf(text, sizeof text, "%.0f MiB", mib);
  return text;
}

std::string BlockDeviceRefusal(const BlockDeviceInfo& info) {
  if (!info.whole_disk)
    return info.name + " is a partition; give the whole card (the disk it belongs to)";
  if (info.bytes < 512) return info.name + " has no medium (its size is 0)";
  if (info.bytes / 512 > 0x100000000ull)
    return info.name + " is larger than the 2 TiB a card's sector numbers reach";
  std::vector<std::string> names = {info.name};
  names.insert(names.end(), info.partitions.begin(), info.partitions.end());
  const std::vector<std::string> system = BlockDevices.system();
  const std::vector<std::string> mounted = BlockDevices.mounted();
  const std::vector<std::string> swap = BlockDevices.swap();
  for (const std::string& name : names) {
    if (Holds(system, name)) return info.name + " holds the running system (" + name + ")";
  }
  for (const std::string& name : names) {
    if (Holds(mounted, name)) return name + " is mounted; unmount it first";
    if (Holds(swap, name)) return name + " is in use as swap";
  }
  if (!info.holders.empty())
    return info.name + " is in use by " + info.holders.front() + " (device mapper or RAID)";
  return "";
}

bool ConfirmBlockDevice(const char* path, bool yes, BlockDeviceInfo* info, std::string* error) {
  if (!BlockDevices.describe(path, info, error)) return false;
  std::string refusal = BlockDeviceRefusal(*info);
  if (!refusal.empty()) {
    *error = refusal;
    return false;
  }
  std::printf("device: %s (%s), %s, %llu bytes\n", info->path.c_str(), info->name.c_str(),
              info->model.empty() ? "model unknown" : info->model.c_str(),
              static_cast<unsigned long long>(info->bytes));
  std::fflush(stdout);
  if (yes) return true;
  std::string answer = Trim(BlockDevices.ask(
      "Everything on " + info->path + " (" + (info->model.empty() ? "" : info->model + ", ") +
      SizeText(info->bytes) + ") will be lost. Type yes or " + info->name + " to go on: "));
  if (Lower(answer) == "yes" || answer == info->name || answer == info->path) return true;
  *error = "not confirmed; nothing was written";
  return false;
}
