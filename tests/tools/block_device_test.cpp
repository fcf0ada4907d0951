// The rules a card and its source are judged by, over a stand-in for what the system says of
// paths and devices: a target that could overlap the source or is in use, whatever the path to
// it, is refused with the case named; and the DOS attributes a folder's files carry.
#include "tools/card/block_device.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/card/folder_source.h"
#include "tools/card/storage.h"

namespace {

// The stand-in system: disk sda holds the running system (sda1 on /) and the user's files, sdc
// is the card reader with two partitions, loop devices are added by the tests.
std::map<std::string, PathFacts> paths;
std::map<std::string, BlockDeviceInfo> devices;
std::vector<MountEntry> mounts;
std::vector<PathFacts> swaps;
std::vector<std::string> system_devices;
std::vector<std::string> questions;
std::string answer;

PathFacts StandInPath(const char* path) {
  auto found = paths.find(path);
  if (found != paths.end()) return found->second;
  PathFacts missing;
  missing.path = path;
  missing.on = "sda1";
  return missing;
}
bool StandInDescribe(const std::string& name, BlockDeviceInfo* info, std::string* error) {
  auto found = devices.find(name);
  if (found == devices.end()) {
    *error = name + " is unknown";
    return false;
  }
  *info = found->second;
  return true;
}
std::vector<std::string> StandInDevices() {
  std::vector<std::string> names;
  for (const auto& device : devices) names.push_back(device.first);
  return names;
}
std::vector<MountEntry> StandInMounts() { return mounts; }
std::vector<PathFacts> StandInSwaps() { return swaps; }
std::vector<std::string> StandInSystem() { return system_devices; }
std::string StandInAsk(const std::string& question) {
  questions.push_back(question);
  return answer;
}

void AddDisk(const std::string& name, std::vector<std::string> partitions) {
  BlockDeviceInfo disk;
  disk.name = name;
  disk.bytes = uint64_t{1} << 30;
  disk.partitions = partitions;
  devices[name] = disk;
  PathFacts facts;
  facts.kind = PathFacts::kBlockDevice;
  facts.path = "/dev/" + name;
  facts.device = name;
  paths[facts.path] = facts;
  for (const std::string& part : partitions) {
    BlockDeviceInfo p = disk;
    p.name = part;
    p.whole_disk = false;
    p.disk = name;
    p.partitions.clear();
    devices[part] = p;
    facts.path = "/dev/" + part;
    facts.device = part;
    paths[facts.path] = facts;
  }
}

// A file (or folder) in the file system of `on`, with the folders it lies in.
void AddFile(const std::string& path, const std::string& id, const std::string& on,
             std::vector<std::string> folders = {}, bool folder = false) {
  PathFacts facts;
  facts.kind = folder ? PathFacts::kFolder : PathFacts::kFile;
  facts.path = path;
  facts.id = id;
  facts.on = on;
  facts.folders = folders;
  paths[path] = facts;
}

// A loop device over a file or a device, at an offset.
void AddLoop(const std::string& name, const std::string& over, uint64_t offset = 0,
             std::vector<std::string> partitions = {}) {
  AddDisk(name, partitions);
  devices[name].loop = true;
  devices[name].backing = paths.at(over);
  devices[name].loop_offset = offset;
}

class StorageRules : public testing::Test {
 protected:
  void SetUp() override {
    paths.clear();
    devices.clear();
    mounts = {{"sda1", "/"}};
    swaps.clear();
    system_devices = {"sda1", "sda"};
    questions.clear();
    answer = "";
    AddDisk("sda", {"sda1"});
    AddDisk("sdc", {"sdc1", "sdc2"});
    devices["sdc"].model = "MOVANTA ATA CARD";
    AddFile("c.img", "file 8:1:100", "sda1");
    AddFile("other.img", "file 8:1:101", "sda1");
    AddFile("/srv/win98", "file 8:1:50", "sda1", {"file 8:1:2"}, true);
    saved_ = Storage;
    Storage = {StandInPath, StandInDescribe, StandInDevices, StandInMounts, StandInSwaps,
               StandInSystem, StandInAsk};
  }
  void TearDown() override { Storage = saved_; }

  // Why writing `target` from `source` is refused, "" when it is not.
  static std::string Refusal(const char* source, const char* target) {
    PathFacts s = Storage.path(source), t = Storage.path(target);
    std::string problem = OverlapProblem(s, t);
    if (!problem.empty()) return problem;
    if (t.kind != PathFacts::kBlockDevice) return InUseProblem(t);
    BlockDeviceInfo info;
    JudgeBlockDevice(t, &info, &problem);
    return problem;
  }
  StorageSystem saved_;
};

}  // namespace

TEST_F(StorageRules, AnIdleCardIsWrittenOnlyAfterConfirmation) {
  BlockDeviceInfo info;
  std::string error;
  ASSERT_TRUE(JudgeBlockDevice(Storage.path("/dev/sdc"), &info, &error)) << error;
  EXPECT_TRUE(ConfirmBlockDevices({info}, true, &error));
  EXPECT_TRUE(questions.empty());  // --yes asks nothing

  answer = "no";
  EXPECT_FALSE(ConfirmBlockDevices({info}, false, &error));
  EXPECT_EQ(error, "not confirmed; nothing was written");
  ASSERT_EQ(questions.size(), 1u);
  // The question names the device, its model and its size.
  EXPECT_NE(questions[0].find("/dev/sdc (MOVANTA ATA CARD, 1.0 GiB)"), std::string::npos)
      << questions[0];
  answer = "";  // the end of the input
  EXPECT_FALSE(ConfirmBlockDevices({info}, false, &error));
  for (const char* yes : {"yes", "YES\n", " sdc ", "/dev/sdc"}) {
    answer = yes;
    EXPECT_TRUE(ConfirmBlockDevices({info}, false, &error)) << yes;
  }
  // Several cards: one question naming them all, answered with yes only.
  BlockDeviceInfo second = info;
  second.path = "/dev/sdd";
  second.name = "sdd";
  questions.clear();
  answer = "sdc";
  EXPECT_FALSE(ConfirmBlockDevices({info, second}, false, &error));
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("/dev/sdc (MOVANTA ATA CARD, 1.0 GiB) and /dev/sdd (MOVANTA ATA CARD, "
                              "1.0 GiB) will be lost. Type yes to go on"),
            std::string::npos) << questions[0];
  answer = "yes";
  EXPECT_TRUE(ConfirmBlockDevices({info, second}, false, &error));
}

TEST_F(StorageRules, CardsInUseAreRefusedWhateverThePathToThem) {
  EXPECT_EQ(Refusal("c.img", "/dev/sdc"), "");
  mounts.push_back({"sdc2", "/media/card"});  // one partition mounted
  EXPECT_EQ(Refusal("c.img", "/dev/sdc"),
            "sdc2 is mounted on /media/card; unmount it first (sdc2 is a partition of sdc)");
  mounts = {{"sdc", "/mnt"}};  // a file system on the whole card
  EXPECT_EQ(Refusal("c.img", "/dev/sdc"), "sdc is mounted on /mnt; unmount it first");
  // A loop device stacked on the card at an offset, and a partition of it, mounted.
  AddLoop("loop7", "/dev/sdc", 32256, {"loop7p1"});
  mounts = {{"loop7p1", "/mnt/x"}};
  EXPECT_EQ(Refusal("c.img", "/dev/sdc"),
            "loop7p1 is mounted on /mnt/x; unmount it first (loop7p1 is a partition of loop7; "
            "loop7 is a loop device over sdc from byte 32256)");
  mounts.clear();
  // An image target that backs a loop device whose file system is mounted.
  AddFile("card.img", "file 8:1:200", "sda1");
  AddLoop("loop3", "card.img", 0, {"loop3p1"});
  mounts = {{"loop3p1", "/mnt/card"}};
  EXPECT_EQ(Refusal("c.img", "card.img"),
            "loop3p1 is mounted on /mnt/card; unmount it first (loop3p1 is a partition of loop3; "
            "loop3 is a loop device over card.img)");
  mounts.clear();
  EXPECT_EQ(Refusal("c.img", "card.img"), "");  // attached, but nothing uses it
  swaps = {Storage.path("/dev/sdc1")};
  EXPECT_EQ(Refusal("c.img", "/dev/sdc"), "sdc1 is in use as swap (sdc1 is a partition of sdc)");
  swaps = {Storage.path("card.img")};  // a swap file
  EXPECT_EQ(Refusal("c.img", "card.img"), "card.img is in use as swap");
  swaps.clear();
  system_devices = {"dm-0", "sdc2"};  // the running system, under device mapper
  EXPECT_EQ(Refusal("c.img", "/dev/sdc"),
            "/dev/sdc holds the running system (sdc2 is a partition of sdc)");
  system_devices.clear();
  devices["sdc1"].holders = {"md127"};
  EXPECT_EQ(Refusal("c.img", "/dev/sdc"),
            "sdc1 is in use by md127, device mapper or RAID (sdc1 is a partition of sdc)");
  devices["sdc1"].holders.clear();
  EXPECT_EQ(Refusal("c.img", "/dev/sdc1"),
            "sdc1 is a partition; give the whole card (the disk it belongs to)");
  devices["sdc"].sector_bytes = 4096;
  EXPECT_NE(Refusal("c.img", "/dev/sdc").find("sdc has logical sectors of 4096 bytes"),
            std::string::npos);
  devices["sdc"].sector_bytes = 512;
  devices["sdc"].bytes = 0;
  EXPECT_NE(Refusal("c.img", "/dev/sdc").find("has no medium"), std::string::npos);
  devices["sdc"].bytes = uint64_t{3} << 40;
  EXPECT_NE(Refusal("c.img", "/dev/sdc").find("larger than the 2 TiB"), std::string::npos);
  EXPECT_TRUE(questions.empty());  // a refused device is never asked about
  BlockDeviceInfo info;
  std::string error;
  EXPECT_FALSE(JudgeBlockDevice(Storage.path("/dev/sdz"), &info, &error));
  EXPECT_EQ(error, "/dev/sdz is no block device");
}

TEST_F(StorageRules, EveryTargetThatCouldOverlapTheSourceIsRefusedNamingTheCase) {
  // The same file, under its own name and under another (a hard or symbolic link).
  EXPECT_EQ(Refusal("c.img", "c.img"), "TARGET c.img is SOURCE c.img itself");
  AddFile("link.img", "file 8:1:100", "sda1");
  EXPECT_EQ(Refusal("c.img", "link.img"),
            "TARGET link.img is SOURCE c.img itself (the same file under another name: a link)");
  // The same device, also under another path.
  paths["/dev/disk/by-id/card"] = Storage.path("/dev/sdc");
  paths["/dev/disk/by-id/card"].path = "/dev/disk/by-id/card";
  EXPECT_EQ(Refusal("/dev/sdc", "/dev/disk/by-id/card"),
            "TARGET /dev/disk/by-id/card is the device SOURCE /dev/sdc itself (sdc)");
  // A loop device over the source as the target, and the source read through a loop device
  // over the target.
  AddLoop("loop1", "c.img");
  EXPECT_EQ(Refusal("c.img", "/dev/loop1"),
            "TARGET /dev/loop1 writes SOURCE c.img (loop1 is a loop device over c.img)");
  EXPECT_EQ(Refusal("/dev/loop1", "c.img"),
            "TARGET c.img writes SOURCE /dev/loop1 (loop1 is a loop device over c.img)");
  // A partition of the target disk as the source, and the disk of a source partition.
  EXPECT_EQ(Refusal("/dev/sdc1", "/dev/sdc"),
            "TARGET /dev/sdc writes SOURCE /dev/sdc1 (sdc1 is a partition of sdc)");
  EXPECT_EQ(Refusal("/dev/sdc", "/dev/sdc1"),
            "TARGET /dev/sdc1 writes SOURCE /dev/sdc (sdc1 is a partition of sdc)");
  // A source file in a file system of the target disk, also through a loop device over an
  // image that lies there.
  AddFile("/media/card/c.img", "file 8:33:12", "sdc1");
  EXPECT_EQ(Refusal("/media/card/c.img", "/dev/sdc"),
            "TARGET /dev/sdc writes SOURCE /media/card/c.img (/media/card/c.img lies in a file "
            "system of sdc1; sdc1 is a partition of sdc)");
  AddFile("/media/card/outer.img", "file 8:33:13", "sdc1");
  AddLoop("loop2", "/media/card/outer.img");
  AddFile("/mnt/inner/c.img", "file 7:2:5", "loop2");
  EXPECT_NE(Refusal("/mnt/inner/c.img", "/dev/sdc").find("loop2 is a loop device over "
                                                         "/media/card/outer.img"),
            std::string::npos);
  EXPECT_EQ(Refusal("/mnt/inner/c.img", "/media/card/outer.img").find("TARGET /media/card/outer.img "
                                                                    "writes SOURCE"),
            0u);
  // A new image inside the source folder, and an image written into a file system of the
  // disk the source is read from.
  paths["/srv/win98/card.img"].path = "/srv/win98/card.img";
  paths["/srv/win98/card.img"].on = "sda1";
  paths["/srv/win98/card.img"].folders = {"file 8:1:50", "file 8:1:2"};
  EXPECT_EQ(Refusal("/srv/win98", "/srv/win98/card.img"),
            "TARGET /srv/win98/card.img lies inside the source folder /srv/win98");
  paths["/media/card/new.img"].path = "/media/card/new.img";
  paths["/media/card/new.img"].on = "sdc1";
  EXPECT_EQ(Refusal("/dev/sdc1", "/media/card/new.img"),
            "TARGET /media/card/new.img lies on SOURCE /dev/sdc1 (/media/card/new.img lies in a "
            "file system of sdc1; sdc1 is a partition of sdc)");

  // What shares only a disk with the source does not overlap it: another image beside it, a
  // loop device over another file there, a card elsewhere.
  EXPECT_EQ(Refusal("c.img", "other.img"), "");
  AddLoop("loop4", "other.img");
  EXPECT_EQ(Refusal("c.img", "/dev/loop4"), "");
  EXPECT_EQ(Refusal("/media/card/c.img", "other.img"), "");
  EXPECT_EQ(Refusal("/srv/win98", "/dev/sdc"), "");
}

TEST_F(StorageRules, TargetsThatOverlapOneAnotherAreNamed) {
  AddDisk("sdd", {"sdd1"});
  paths["/dev/disk/by-id/card"] = Storage.path("/dev/sdc");
  paths["/dev/disk/by-id/card"].path = "/dev/disk/by-id/card";
  EXPECT_EQ(TargetsOverlap(Storage.path("/dev/sdc"), Storage.path("/dev/disk/by-id/card")),
            "TARGET /dev/sdc and TARGET /dev/disk/by-id/card are the same card");
  EXPECT_EQ(TargetsOverlap(Storage.path("/dev/sdc"), Storage.path("/dev/sdc1")),
            "TARGET /dev/sdc writes TARGET /dev/sdc1 (sdc1 is a partition of sdc)");
  AddFile("card.img", "file 8:1:200", "sda1");
  AddLoop("loop3", "card.img");
  EXPECT_EQ(TargetsOverlap(Storage.path("/dev/loop3"), Storage.path("card.img")),
            "TARGET /dev/loop3 writes TARGET card.img (loop3 is a loop device over card.img)");
  paths["/media/card/new.img"].path = "/media/card/new.img";
  paths["/media/card/new.img"].on = "sdd1";
  paths["/media/card/new.img"].folders = {"file 8:49:2"};
  EXPECT_EQ(TargetsOverlap(Storage.path("/media/card/new.img"), Storage.path("/dev/sdd")),
            "TARGET /dev/sdd writes TARGET /media/card/new.img (/media/card/new.img lies in a file "
            "system of sdd1; sdd1 is a partition of sdd)");
  EXPECT_EQ(TargetsOverlap(Storage.path("/media/card/new.img"), Storage.path("/media/card/new.img")),
            "TARGET /media/card/new.img and TARGET /media/card/new.img are the same card");
  EXPECT_EQ(TargetsOverlap(Storage.path("/dev/sdc"), Storage.path("/dev/sdd")), "");
  EXPECT_EQ(TargetsOverlap(Storage.path("card.img"), Storage.path("other.img")), "");
}

TEST(DosAttrib, WineAndSambaValues) {
  uint8_t bits = 0;
  EXPECT_TRUE(ParseDosAttrib("0x22", &bits));  // as Wine writes it
  EXPECT_EQ(bits, 0x22);
  EXPECT_TRUE(ParseDosAttrib(std::string("0x7\0\x03\x00\x03\x00", 9), &bits));  // Samba's
  EXPECT_EQ(bits, 0x07);
  EXPECT_TRUE(ParseDosAttrib("21", &bits));
  EXPECT_EQ(bits, 0x21);
  EXPECT_FALSE(ParseDosAttrib("", &bits));
  EXPECT_FALSE(ParseDosAttrib("0x", &bits));
  EXPECT_FALSE(ParseDosAttrib("hidden", &bits));
}
