// Which writes reach which reads, over whatever Storage reports.
#include "tools/card/storage.h"

#include <algorithm>

StorageSystem Storage = kSystemStorage;

namespace {

// Loop devices over loop devices over partitions ... end here (the kernel allows no cycle, a
// stand-in might).
const int kMaxDepth = 16;

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
  return text;
}

void DeviceBases(const std::string& name, bool read, std::vector<std::string> how, int depth,
                 std::vector<Reach>* out);

// The bases of the file system a file, folder or new file lies in.
void FileSystemBases(const PathFacts& facts, std::vector<std::string> how, int depth,
                     std::vector<Reach>* out) {
  if (facts.on.empty()) return;
  how.push_back(facts.path + " lies in a file system of " + facts.on +
                (facts.where.empty() ? "" : " (mounted on " + facts.where + ")"));
  DeviceBases(facts.on, true, how, depth + 1, out);
}

// `read`: also what a loop device's file depends on (the disk of its file system).
void DeviceBases(const std::string& name, bool read, std::vector<std::string> how, int depth,
                 std::vector<Reach>* out) {
  BlockDeviceInfo info;
  std::string error;
  if (name.empty() || depth > kMaxDepth || !Storage.describe(name, &info, &error)) {
    if (!name.empty()) out->push_back({name, how});
    return;
  }
  if (info.loop) {
    const PathFacts& backing = info.backing;
    std::string over = name + " is a loop device over " +
                       (backing.kind == PathFacts::kBlockDevice ? backing.device : backing.path) +
                       (info.loop_offset ? " from byte " + std::to_string(info.loop_offset) : "");
    how.push_back(over);
    if (backing.kind == PathFacts::kBlockDevice) {
      DeviceBases(backing.device, read, how, depth + 1, out);
    } else if (backing.kind == PathFacts::kFile) {
      out->push_back({backing.id, how});
      if (read) FileSystemBases(backing, how, depth + 1, out);
    } else {
      out->push_back({name, how});  // a loop device whose file is gone: itself
    }
    return;
  }
  if (!info.whole_disk && !info.disk.empty()) {
    how.push_back(name + " is a partition of " + info.disk);
    DeviceBases(info.disk, read, how, depth + 1, out);
    return;
  }
  if (!info.slaves.empty()) {
    for (const std::string& slave : info.slaves) {
      std::vector<std::string> through = how;
      through.push_back(name + " stands on " + slave);
      DeviceBases(slave, read, through, depth + 1, out);
    }
    return;
  }
  out->push_back({name, how});
}

// The first base the two share: true with how each reaches it.
bool Shared(const std::vector<Reach>& a, const std::vector<Reach>& b, std::vector<std::string>* how) {
  for (const Reach& x : a) {
    for (const Reach& y : b) {
      if (x.base != y.base) continue;
      *how = x.how;
      for (const std::string& step : y.how)
        if (std::find(how->begin(), how->end(), step) == how->end()) how->push_back(step);
      return true;
    }
  }
  return false;
}

std::string Because(const std::vector<std::string>& how) {
  return how.empty() ? "" : " (" + Joined(how) + ")";
}

}  // namespace

std::vector<Reach> BasesWritten(const PathFacts& facts) {
  std::vector<Reach> out;
  if (facts.kind == PathFacts::kFile) out.push_back({facts.id, {}});
  if (facts.kind == PathFacts::kBlockDevice) DeviceBases(facts.device, false, {}, 0, &out);
  return out;
}

std::vector<Reach> BasesRead(const PathFacts& facts) {
  std::vector<Reach> out;
  if (facts.kind == PathFacts::kFile) out.push_back({facts.id, {}});
  if (facts.kind == PathFacts::kBlockDevice)
    DeviceBases(facts.device, true, {}, 0, &out);
  else
    FileSystemBases(facts, {}, 0, &out);
  return out;
}

std::vector<Reach> DeviceBasesRead(const std::string& name) {
  std::vector<Reach> out;
  DeviceBases(name, true, {}, 0, &out);
  return out;
}

std::string OverlapProblem(const PathFacts& source, const PathFacts& target) {
  const std::string s = "SOURCE " + source.path, t = "TARGET " + target.path;
  if (source.kind == PathFacts::kFile && target.kind == PathFacts::kFile && source.id == target.id)
    return t + " is " + s + " itself" +
           (source.path == target.path ? "" : " (the same file under another name: a link)");
  if (source.kind == PathFacts::kBlockDevice && target.kind == PathFacts::kBlockDevice &&
      source.device == target.device)
    return t + " is the device " + s + " itself (" + source.device + ")";
  if (source.kind == PathFacts::kFolder &&
      std::find(target.folders.begin(), target.folders.end(), source.id) != target.folders.end())
    return t + " lies inside the source folder " + source.path;
  std::vector<std::string> how;
  if (Shared(BasesWritten(target), BasesRead(source), &how))
    return t + " writes " + s + Because(how);
  // A disk read whole is changed by a file written into a file system on it.
  if (source.kind == PathFacts::kBlockDevice && Shared(BasesRead(target), BasesWritten(source), &how))
    return t + " lies on " + s + Because(how);
  return "";
}

std::string TargetsOverlap(const PathFacts& a, const PathFacts& b) {
  const std::string first = "TARGET " + a.path, second = "TARGET " + b.path;
  const bool same_new_file = a.kind == PathFacts::kMissing && b.kind == PathFacts::kMissing &&
                             !a.folders.empty() && a.folders == b.folders &&
                             a.path.substr(a.path.find_last_of('/') + 1) ==
                                 b.path.substr(b.path.find_last_of('/') + 1);
  if (same_new_file || (a.kind == PathFacts::kFile && b.kind == PathFacts::kFile && a.id == b.id) ||
      (a.kind == PathFacts::kBlockDevice && b.kind == PathFacts::kBlockDevice && a.device == b.device))
    return first + " and " + second + " are the same card";
  std::vector<std::string> how;
  if (Shared(BasesWritten(a), BasesRead(b), &how)) return first + " writes " + second + Because(how);
  if (Shared(BasesWritten(b), BasesRead(a), &how)) return second + " writes " + first + Because(how);
  return "";
}

std::string InUseProblem(const PathFacts& target) {
  const std::vector<Reach> written = BasesWritten(target);
  if (written.empty()) return "";
  std::vector<std::string> how;
  for (const std::string& name : Storage.system()) {
    if (Shared(DeviceBasesRead(name), written, &how))
      return target.path + " holds the running system (" + (how.empty() ? name : Joined(how)) + ")";
  }
  for (const MountEntry& mount : Storage.mounts()) {
    if (Shared(DeviceBasesRead(mount.device), written, &how))
      return mount.device + " is mounted" + (mount.point.empty() ? "" : " on " + mount.point) +
             "; unmount it first" + Because(how);
  }
  for (const PathFacts& swap : Storage.swaps()) {
    if (Shared(BasesRead(swap), written, &how))
      return (swap.kind == PathFacts::kBlockDevice ? swap.device : swap.path) +
             " is in use as swap" + Because(how);
  }
  for (const std::string& name : Storage.devices()) {
    BlockDeviceInfo info;
    std::string error;
    if (!Storage.describe(name, &info, &error)) continue;
    for (const std::string& holder : info.holders) {
      if (holder == target.device || !Shared(DeviceBasesRead(name), written, &how)) continue;
      return name + " is in use by " + holder + ", device mapper or RAID" + Because(how);
    }
  }
  return "";
}
