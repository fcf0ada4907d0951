// The rules a block device is judged by, over whatever Storage reports.
#include "tools/card/block_device.h"

#include <cctype>
#include <cstdio>

#include "tools/card/card_console.h"

namespace {

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

std::string BlockDeviceRefusal(const BlockDeviceInfo& info, const PathFacts& facts) {
  if (!info.whole_disk)
    return info.name + " is a partition; give the whole card (the disk it belongs to)";
  if (info.bytes < 512) return info.name + " has no medium (its size is 0)";
  if (info.bytes / 512 > 0x100000000ull)
    return info.name + " is larger than the 2 TiB a card's sector numbers reach";
  if (info.sector_bytes != 512)
    return info.name + " has logical sectors of " + std::to_string(info.sector_bytes) +
           " bytes; a card's records are laid out in sectors of 512 bytes, and Windows 95/98 "
           "would misread them";
  return InUseProblem(facts);
}

bool JudgeBlockDevice(const PathFacts& facts, BlockDeviceInfo* info, std::string* error) {
  if (facts.kind != PathFacts::kBlockDevice) {
    *error = facts.path + " is no block device";
    return false;
  }
  if (!Storage.describe(facts.device, info, error)) return false;
  info->path = facts.path;
  *error = BlockDeviceRefusal(*info, facts);
  return error->empty();
}

bool ConfirmBlockDevices(const std::vector<BlockDeviceInfo>& devices, bool yes, std::string* error) {
  std::string named;
  for (size_t i = 0; i < devices.size(); ++i) {
    const BlockDeviceInfo& info = devices[i];
    std::printf("device: %s (%s), %s, %llu bytes\n", ConsoleText(info.path).c_str(),
                info.name.c_str(), info.model.empty() ? "model unknown" : ConsoleText(info.model).c_str(),
                static_cast<unsigned long long>(info.bytes));
    named += std::string(i == 0 ? "" : i + 1 == devices.size() ? " and " : ", ") + info.path + " (" +
             (info.model.empty() ? "" : info.model + ", ") + SizeText(info.bytes) + ")";
  }
  std::fflush(stdout);
  if (yes) return true;
  const bool one = devices.size() == 1;
  std::string answer = Trim(Storage.ask(ConsoleText(
      "Everything on " + named + " will be lost. Type yes" + (one ? " or " + devices[0].name : "") +
      " to go on: ")));
  if (Lower(answer) == "yes" || (one && (answer == devices[0].name || answer == devices[0].path)))
    return true;
  *error = "not confirmed; nothing was written";
  return false;
}
