// Drive information and the copy over the native drive seam: drives are host folders with the
// figures each test chooses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "engine/drive_info.h"
#include "engine/engine_hooks.h"
#include "engine/engine_report.h"
#include "engine/errors.h"
#include "engine/file_copy.h"
#include "engine/partition.h"
#include "platform/clock_native.h"
#include "platform/files_native.h"
#include "platform/threads.h"

namespace {

char log_dir[256];  // the folder of the list of files left out, as the script's LogDir1

// What the engine reported last: each drive figure, the copy's two lines.
std::map<DriveFigure, std::string> figures;
std::string copy_source, copy_target;
void (*on_copy)(const std::string& source) = nullptr;

const EngineReport kStandIn = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               [](void*, DriveFigure figure, const char* text) {
                                 figures[figure] = text;
                               },
                               [](void*, const char* source, const char* target) {
                                 copy_source = source;
                                 copy_target = target;
                                 if (on_copy != nullptr) on_copy(source);
                               },
                               nullptr};

class Drives : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kelvado-drives-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    base = pattern;
    NativeDrivesClear();
    figures.clear();
    copy_source = copy_target = "";
    on_copy = nullptr;
    RegisteredReport = &kStandIn;
    TextCopyTo(log_dir, (base + "/log/").c_str());
    ClockTime t = {1999, 3, 0, 7, 9, 5, 42, 0};
    ClockStop(t, t);
    TargetRoot[0] = '\0';
  }
  void TearDown() override {
    RegisteredReport = nullptr;
    ClockRun();
    NativeDrivesClear();
    log_dir[0] = '\0';
    std::system(("rm -rf " + base).c_str());
  }
  static void TextCopyTo(char* out, const char* text) { std::snprintf(out, 256, "%s", text); }

  // A fixed drive over a new folder <base>/<letter>.
  NativeDrive& Drive(char letter, uint32_t serial = 0x12345678) {
    std::string folder = base + "/" + letter;
    mkdir(folder.c_str(), 0777);
    folders[letter] = folder;
    NativeDrive& d = made[letter];
    d = NativeDrive();
    d.letter = letter;
    d.folder = folders[letter].c_str();
    d.type = kDriveFixed;
    d.serial = serial;
    d.label = "LABEL";
    d.file_system = "FAT32";
    d.sectors_per_cluster = 8;
    d.bytes_per_sector = 512;
    d.free_clusters = 1000;
    d.total_clusters = 2000;
    NativeDriveAdd(d);
    return d;
  }
  void Put(char letter, const std::string& path, const std::string& bytes) {
    std::string full = folders[letter] + "/" + path;
    for (size_t at = full.find('/', base.size() + 3); at != std::string::npos;
         at = full.find('/', at + 1))
      mkdir(full.substr(0, at).c_str(), 0777);
    std::ofstream(full, std::ios::binary) << bytes;
  }
  std::string Get(char letter, const std::string& path) {
    std::ifstream in(folders[letter] + "/" + path, std::ios::binary);
    if (!in) return "<none>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string Log() {
    std::ifstream in(base + "/log/19990307.log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::string base;
  std::map<char, std::string> folders;
  std::map<char, NativeDrive> made;
};

TEST_F(Drives, SystemVersionsAndFat32) {
  struct Case {
    SystemVersion version;
    int32_t result;
    const char* name;
    const char* text;
    int32_t fat32;
  } cases[] = {
      {{1, 4, 10, 0x040A07CE}, 0, "Windows 98", "4.10 (Build 1998)", 1},
      {{1, 4, 0, 0x040003B6}, 0, "Windows 95", "4.0 (Build 950)", 0},
      {{1, 4, 0, 0x04000457}, 0, "Windows 95", "4.0 (Build 1111)", 1},
      {{1, 4, 90, 0x045A0BB8}, 0, "Windows 95", "4.90 (Build 3000)", 1},
      {{0, 1, 30, 0}, 101, "Win32s", "1.30 (Build 0)", 7},
      {{2, 4, 0, 1381}, 102, "Windows NT", "4.0 (Build 1381)", 7},
      {{3, 5, 0, 0}, 103, "(Unknown System)", "", 7},
  };
  for (const Case& c : cases) {
    Fat32Enabled = 7;  // unchanged where the system is refused
    NativeSetSystemVersion(c.version);
    EXPECT_EQ(GetOsVersionText(), c.result) << c.name;
    EXPECT_STREQ(OsName, c.name);
    EXPECT_STREQ(OsVersionText, c.text);
    EXPECT_EQ(Fat32Enabled, c.fat32) << c.text;
  }
  Fat32Enabled = 0;
}

TEST_F(Drives, DialogFieldsAndRecords) {
  NativeSetSystemVersion({1, 4, 10, 0x040A07CE});
  GetOsVersionText();
  Drive('C', 0x0000ABCD);
  NativeDrive& e = Drive('E', 0x00000001);
  e.label = "";
  e.file_system = "FAT16";
  NativeDriveAdd(e);
  ASSERT_EQ(ShowSourceDriveInfo("C:\\"), 0);
  ASSERT_EQ(ShowTargetDriveInfo("E:\\"), 0);
  EXPECT_EQ(figures[kFigureOs], "Windows 98\n4.10 (Build 1998)");
  EXPECT_EQ(figures[kFigureSourceType], "固定ﾄﾞﾗｲﾌﾞ");
  EXPECT_EQ(figures[kFigureSourceVolume], "LABEL\n0000ABCD\nFAT32");
  // No GetDiskFreeSpaceExA figures.
  EXPECT_EQ(figures[kFigureSourceSpace], "8\n512\n   4096000\n   8192000");
  EXPECT_EQ(figures[kFigureTargetRoot], "E:\\");
  EXPECT_EQ(figures[kFigureTargetVolume], "\n1\nFAT16");
  EXPECT_EQ(SourceDriveInfo.serial, 0x0000ABCDu);
  EXPECT_EQ(TargetDriveInfo.total_bytes, 8192000u);

  // Not fixed: 201 and nothing changes; no volume: 203, the record keeps its old values.
  figures.clear();
  NativeDrive& d = Drive('D');
  d.type = kDriveCdrom;
  NativeDriveAdd(d);
  EXPECT_EQ(ShowTargetDriveInfo("D:\\"), 201);
  EXPECT_TRUE(figures.empty());
  d.type = kDriveFixed;
  d.volume_fails = true;
  NativeDriveAdd(d);
  EXPECT_EQ(ShowTargetDriveInfo("D:\\"), 203);
  EXPECT_STREQ(TargetDriveInfo.root, "E:\\");
  EXPECT_STREQ(DriveTypeName(2), "ﾙﾑｰﾊﾞﾌﾞﾙ");
  EXPECT_STREQ(DriveTypeName(9), "Unknown");
}

// A C: of 6 GiB with 1 GiB free uses 5 GiB: a card with 4 GiB free is refused although the
// used bytes, taken modulo 2^32, are 1 GiB; and a Windows 98 that caps the cluster figures near
// 2 GiB no longer lets a small card pass. Equal sizes are refused.
TEST_F(Drives, FreeSpaceInSixtyFourBits) {
  const uint64_t kGiB = 1ull << 30;
  NativeDrive& c = Drive('C');
  c.sectors_per_cluster = 64;  // the capped 32-bit figures: 2 GiB total, 2 GiB free
  c.total_clusters = 65535;
  c.free_clusters = 65535;
  c.has_bytes = true;
  c.total_bytes = 6 * kGiB;
  c.free_bytes = 1 * kGiB;
  NativeDriveAdd(c);
  NativeDrive& e = Drive('E', 1);
  e.has_bytes = true;
  e.free_bytes = 4 * kGiB;
  e.total_bytes = 4 * kGiB;
  NativeDriveAdd(e);
  ASSERT_EQ(ShowSourceDriveInfo("C:\\"), 0);
  ASSERT_EQ(ShowTargetDriveInfo("E:\\"), 0);
  EXPECT_EQ(CheckFreeSpace(), 104);
  e.free_bytes = 5 * kGiB;
  NativeDriveAdd(e);
  ShowTargetDriveInfo("E:\\");
  EXPECT_EQ(CheckFreeSpace(), 104);  // exactly as many bytes as C: uses
  e.free_bytes = 5 * kGiB + 1;
  NativeDriveAdd(e);
  ShowTargetDriveInfo("E:\\");
  EXPECT_EQ(CheckFreeSpace(), 0);

  // Without GetDiskFreeSpaceExA: the cluster products, without wrapping.
  c.has_bytes = false;
  c.sectors_per_cluster = 64;
  c.total_clusters = 200000;  // 6.1 GiB
  c.free_clusters = 0;
  NativeDriveAdd(c);
  ShowSourceDriveInfo("C:\\");
  EXPECT_EQ(SourceDriveInfo.total_bytes, 200000ull * 64 * 512);
  EXPECT_EQ(CheckFreeSpace(), 104);
}

TEST_F(Drives, CardFoundByItsSerialLowestLetterFirst) {
  Drive('A', 1);
  Drive('B', 1);
  Drive('C', 5);
  NativeDrive& d = Drive('D', 1);
  d.type = kDriveRemovable;
  NativeDriveAdd(d);
  EXPECT_EQ(FindDriveBySerial(1), 0);
  EXPECT_STREQ(TargetRoot, "");
  Drive('G', 1);
  Drive('F', 1);
  EXPECT_EQ(FindDriveBySerial(1), 1);
  EXPECT_STREQ(TargetRoot, "F:\\");
}

// A tree with nested directories onto an empty drive; what is already on the target stays and
// is recorded as left out; dot-directories are not copied; the target root is never created.
TEST_F(Drives, CopyTreeLeavesOutWhatItMustAndRecordsIt) {
  Drive('C');
  Drive('E', 1);
  Put('C', "IO.SYS", "io");
  Put('C', "WINDOWS/SYSTEM/VMM32.VXD", "vmm");
  Put('C', "WINDOWS/WIN.INI", "[windows]");
  Put('C', "WINDOWS/WIN386.SWP", "swap");
  Put('C', "Program Files/長い名前のフォルダ/説明.txt", "text");
  Put('C', ".hidden/x", "x");
  Put('C', "EMPTY/.keep/y", "y");
  Put('E', "IO.SYS", "already");
  NativeHoldFile("C:\\WINDOWS\\WIN386.SWP");
  ASSERT_EQ(CopyAllFiles("C:\\", "E:\\", log_dir), 0);
  EXPECT_EQ(Get('E', "IO.SYS"), "already");
  EXPECT_EQ(Get('E', "WINDOWS/SYSTEM/VMM32.VXD"), "vmm");
  EXPECT_EQ(Get('E', "WINDOWS/WIN.INI"), "[windows]");
  EXPECT_EQ(Get('E', "WINDOWS/WIN386.SWP"), "<none>");
  EXPECT_EQ(Get('E', "Program Files/長い名前のフォルダ/説明.txt"), "text");
  EXPECT_EQ(Get('E', ".hidden/x"), "<none>");
  EXPECT_EQ(Get('E', "EMPTY/.keep/y"), "<none>");
  struct stat info;
  EXPECT_EQ(stat((folders['E'] + "/EMPTY").c_str(), &info), 0);
  EXPECT_EQ(NativeDirCreateCount("E:\\"), 0);
  EXPECT_EQ(NativeDirCreateCount("E:\\WINDOWS\\SYSTEM"), 1);
  EXPECT_EQ(CopyLeftOutCount, 2);
  EXPECT_EQ(
      Log(),
      "1999年03月07日 09時05分42秒 コピーできませんでした(エラー 80) C:\\IO.SYS\n"
      "1999年03月07日 09時05分42秒 コピーできませんでした(エラー 32) C:\\WINDOWS\\WIN386.SWP\n");
  EXPECT_EQ(copy_source, "システムドライブデータのコピーが終了しました。");
  EXPECT_EQ(copy_target, "");

  // A directory as the source lands in the same path on the target drive.
  Put('C', "DATA/a.txt", "a");
  ASSERT_EQ(CopyAllFiles("C:\\DATA\\", "E:", log_dir), 0);
  EXPECT_EQ(Get('E', "DATA/a.txt"), "a");
  EXPECT_EQ(CopyLeftOutCount, 0);
}

// Paths that do not fit the 256-byte buffers are left out and recorded, never cut.
TEST_F(Drives, OverLongPathsAreLeftOutWhole) {
  Drive('C');
  Drive('E', 1);
  std::string dir(200, 'd');
  std::string name(60, 'n');
  Put('C', dir + "/short", "s");
  Put('C', dir + "/" + name, "long");
  Put('C', dir + "/" + std::string(60, 's') + "/inner", "i");
  ASSERT_EQ(CopyAllFiles("C:\\", "E:\\", log_dir), 0);
  EXPECT_EQ(Get('E', dir + "/short"), "s");
  EXPECT_EQ(Get('E', dir + "/" + name), "<none>");
  EXPECT_EQ(Get('E', dir + "/" + name.substr(0, 52)), "<none>");
  EXPECT_EQ(CopyLeftOutCount, 2);
  EXPECT_NE(Log().find("(エラー 206) C:\\" + dir + "\\" + name + "\n"), std::string::npos);
  EXPECT_NE(Log().find("(エラー 206) C:\\" + dir + "\\" + std::string(60, 's') + "\n"),
            std::string::npos);
}

// A target that runs out of room ends the copy with its own error, never with success.
TEST_F(Drives, FullTargetStopsTheCopy) {
  Drive('C');
  NativeDrive& e = Drive('E', 1);
  e.room = 10;
  NativeDriveAdd(e);
  Put('C', "A", "12345");
  Put('C', "B", "123456");
  Put('C', "C", "1");
  Put('C', "SUB/D", "1");
  EXPECT_EQ(CopyAllFiles("C:\\", "E:\\", log_dir), 105);
  EXPECT_EQ(Get('E', "A"), "12345");
  EXPECT_EQ(Get('E', "B"), "<none>");
  EXPECT_EQ(Get('E', "C"), "<none>");
  EXPECT_EQ(Get('E', "SUB/D"), "<none>");
  EXPECT_EQ(CopyLeftOutCount, 1);
  EXPECT_STREQ(ErrorText(105), "転送先ドライブの空き容量がなくなりました");
}

// A directory that cannot be made on a full target stops the copy as a full target does for a
// file, whether the system says "disk full" or, as Windows 95/98 do, "access denied" on a drive
// with no free cluster; its files are never tried and "left out" one by one.
TEST_F(Drives, DirectoryOnAFullTargetStopsTheCopy) {
  for (uint32_t full_error : {0u, 5u}) {
    SCOPED_TRACE(full_error);
    NativeDrivesClear();
    Drive('C');
    NativeDrive& e = Drive('E', 1);
    e.sectors_per_cluster = 1;
    e.bytes_per_sector = 512;
    e.room = 100;  // the file, and then not one cluster
    e.full_dir_error = full_error;
    NativeDriveAdd(e);
    Put('C', "A", "12345");
    Put('C', "SUB/D1", "1");
    Put('C', "SUB/D2", "2");
    EXPECT_EQ(CopyAllFiles("C:\\", "E:\\", log_dir), 105);
    EXPECT_EQ(Get('E', "A"), "12345");
    EXPECT_EQ(Get('E', "SUB/D1"), "<none>");
    EXPECT_EQ(CopyLeftOutCount, 1);
    std::string log = Log();
    EXPECT_NE(log.find(") C:\\SUB\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("D1"), std::string::npos) << log;
    std::system(("rm -rf " + base + "/log " + base + "/C " + base + "/E").c_str());
  }
  // A directory refused while the drive has room is no full target: its files are left out,
  // each with its own line, and the copy goes on.
  NativeDrivesClear();
  Drive('C');
  Drive('E', 1);
  Put('C', "SUB/D1", "1");
  Put('C', "Z", "z");
  Put('E', "SUB", "a file where the directory should go");
  EXPECT_EQ(CopyAllFiles("C:\\", "E:\\", log_dir), 0);
  EXPECT_EQ(Get('E', "Z"), "z");
  EXPECT_EQ(CopyLeftOutCount, 1);
  EXPECT_NE(Log().find(") C:\\SUB\\D1\n"), std::string::npos) << Log();
}

// Each directory the copy makes gets the read-only, hidden, system and archive bits of its source
// once its contents are copied, so a read-only directory still receives them; files keep theirs.
TEST_F(Drives, DirectoriesKeepTheirAttributes) {
  Drive('C');
  Drive('E', 1);
  Put('C', "WINDOWS/SYSTEM/VMM32/IOS.VXD", "ios");
  Put('C', "WINDOWS/WIN.INI", "ini");
  Put('C', "LOCKED/INNER/X", "x");
  Put('C', "LOCKED/Y", "y");
  Put('C', "PLAIN/P", "p");
  Put('C', "DATA/a.txt", "a");
  NativeSetAttributes("C:\\WINDOWS\\SYSTEM", kAttrHidden);
  NativeSetAttributes("C:\\WINDOWS", kAttrSystem | kAttrArchive);
  NativeSetAttributes("C:\\LOCKED", kAttrReadOnly | kAttrHidden | kAttrSystem);
  NativeSetAttributes("C:\\LOCKED\\INNER", kAttrReadOnly);
  NativeSetAttributes("C:\\LOCKED\\Y", kAttrHidden | kAttrReadOnly);
  NativeSetAttributes("C:\\DATA", kAttrArchive);
  ASSERT_EQ(CopyAllFiles("C:\\", "E:\\", log_dir), 0);
  EXPECT_EQ(CopyLeftOutCount, 0);
  EXPECT_EQ(NativeAttributes("E:\\WINDOWS\\SYSTEM"), kAttrHidden);
  EXPECT_EQ(NativeAttributes("E:\\WINDOWS"), kAttrSystem | kAttrArchive);
  EXPECT_EQ(NativeAttributes("E:\\WINDOWS\\SYSTEM\\VMM32"), 0u);
  EXPECT_EQ(NativeAttributes("E:\\LOCKED"), kAttrReadOnly | kAttrHidden | kAttrSystem);
  EXPECT_EQ(NativeAttributes("E:\\LOCKED\\INNER"), kAttrReadOnly);
  EXPECT_EQ(NativeAttributes("E:\\LOCKED\\Y"), kAttrHidden | kAttrReadOnly);
  EXPECT_EQ(NativeAttributes("E:\\PLAIN"), 0u);
  EXPECT_EQ(Get('E', "LOCKED/INNER/X"), "x");
  EXPECT_EQ(Get('E', "LOCKED/Y"), "y");
  EXPECT_EQ(Get('E', "WINDOWS/SYSTEM/VMM32/IOS.VXD"), "ios");
  // A directory as the source brings its own bits to its namesake.
  std::system(("rm -rf " + base + "/E/DATA").c_str());
  ASSERT_EQ(CopyAllFiles("C:\\DATA", "E:", log_dir), 0);
  EXPECT_EQ(NativeAttributes("E:\\DATA"), kAttrArchive);
  EXPECT_EQ(Get('E', "DATA/a.txt"), "a");
}

// An interrupt stops the copy before the next entry; what was copied stays.
TEST_F(Drives, InterruptStopsBeforeTheNextEntry) {
  Drive('C');
  Drive('E', 1);
  for (const char* name : {"a", "b", "c", "d"}) Put('C', name, name);
  Put('C', "z/e", "e");
  AbortEvent = EventCreate(true, false);
  on_copy = [](const std::string& source) {
    if (source == "b") EventSet(AbortEvent);
  };
  EXPECT_EQ(CopyAllFiles("C:\\", "E:\\", log_dir), -9);
  EventDestroy(AbortEvent);
  AbortEvent = nullptr;
  EXPECT_EQ(Get('E', "a"), "a");
  EXPECT_EQ(Get('E', "b"), "b");
  EXPECT_EQ(Get('E', "c"), "<none>");
  EXPECT_EQ(Get('E', "z/e"), "<none>");
  EXPECT_NE(copy_source, "システムドライブデータのコピーが終了しました。");
}

}  // namespace
