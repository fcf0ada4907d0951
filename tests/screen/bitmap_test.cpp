// Bitmap files from the disk through the loader and the bitmap commands into the DisplayList,
// the hit test and painting: what is refused, where the pixel rows are found, which files the
// commands open and what their failures leave behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "interp/commands.h"
#include "interp/section_choice.h"
#include "interp/section_table.h"
#include "platform/window_native.h"
#include "screen/bitmap_file.h"
#include "screen/display_list.h"
#include "screen/layout_settings.h"
#include "screen/paint.h"
#include "screen/screen_commands.h"
#include "services/directories.h"
#include "services/services_commands.h"
#include "services/services_reset.h"
#include "tests/interp/harness.h"

namespace {

typedef std::vector<unsigned char> Bytes;

void Put16(Bytes* b, size_t at, uint32_t v) {
  (*b)[at] = v & 0xFF;
  (*b)[at + 1] = (v >> 8) & 0xFF;
}
void Put32(Bytes* b, size_t at, uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// A bitmap file: file header, a header of `header_size` bytes (12: the short form), `table`
// bytes of colour table and `pixels` bytes of rows; the total size field holds the true length.
Bytes File(uint32_t header_size, int32_t width, int32_t height, uint32_t bits, uint32_t table,
           uint32_t pixels, uint32_t compression = 0, uint32_t colours_used = 0) {
  Bytes b(14 + header_size + table + pixels, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(&b, 2, static_cast<uint32_t>(b.size()));
  Put32(&b, 10, 14 + header_size + table);
  Put32(&b, 14, header_size);
  if (header_size == 12) {
    Put16(&b, 18, static_cast<uint32_t>(width));
    Put16(&b, 20, static_cast<uint32_t>(height));
    Put16(&b, 22, 1);
    Put16(&b, 24, bits);
    return b;
  }
  Put32(&b, 18, static_cast<uint32_t>(width));
  Put32(&b, 22, static_cast<uint32_t>(height));
  Put16(&b, 26, 1);
  Put16(&b, 28, bits);
  if (header_size >= 20) Put32(&b, 30, compression);
  if (header_size >= 24) Put32(&b, 34, pixels);
  if (header_size >= 36) Put32(&b, 46, colours_used);
  return b;
}

// Rows of 32-bit words: width 10 at 24 bits takes 32 bytes a row.
const uint32_t kRows24 = 32 * 6;  // 10 x 6

std::string Write(const std::string& name, const Bytes& bytes) {
  std::string path = ::testing::TempDir() + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

// The pixel offset of the loaded file, or -1 when it is refused.
long Offset(const Bytes& bytes) {
  DibLayout layout;
  PackedDib* dib = LoadBitmapFile(Write("case.bmp", bytes).c_str(), &layout);
  if (dib == nullptr) return -1;
  PackedDibFree(dib);
  return layout.pixel_offset;
}

TEST(BitmapLoader, FindsThePixelRowsOfEveryFormItShows) {
  // The short form: 3-byte entries, 2^bits of them, none at 24 bits.
  EXPECT_EQ(Offset(File(12, 10, 6, 24, 0, kRows24)), 12);
  EXPECT_EQ(Offset(File(12, 10, 6, 8, 768, 12 * 6)), 12 + 768);
  EXPECT_EQ(Offset(File(12, 10, 6, 1, 6, 4 * 6)), 12 + 6);
  // The long form: 4-byte entries, the colours-used count or 2^bits.
  EXPECT_EQ(Offset(File(40, 10, 6, 4, 64, 8 * 6)), 40 + 64);
  EXPECT_EQ(Offset(File(40, 10, 6, 8, 20, 12 * 6, 0, 5)), 40 + 20);
  EXPECT_EQ(Offset(File(40, 10, 6, 24, 8, kRows24, 0, 2)), 40 + 8);
  EXPECT_EQ(Offset(File(16, 10, 6, 24, 0, kRows24)), 16);  // no colours-used field
  EXPECT_EQ(Offset(File(108, 10, 6, 24, 0, kRows24)), 108);
  // 16 and 32 bits: no table; bit-field masks right behind a 40-byte header, inside a longer one.
  EXPECT_EQ(Offset(File(40, 10, 6, 16, 0, 20 * 6)), 40);
  EXPECT_EQ(Offset(File(40, 10, 6, 32, 12, 40 * 6, 3)), 52);
  EXPECT_EQ(Offset(File(108, 10, 6, 16, 0, 20 * 6, 3)), 108);
  EXPECT_EQ(Offset(File(40, 10, 6, 32, 0, 40 * 6, 3)), -1);  // the masks are missing
  // Top-down: the rows counted without the sign.
  DibLayout layout;
  PackedDib* dib =
      LoadBitmapFile(Write("top.bmp", File(40, 10, -6, 24, 0, kRows24)).c_str(), &layout);
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(layout.height, 6);
  PackedDibFree(dib);
  // Run-length pictures: as many bytes as the header's image size says.
  EXPECT_EQ(Offset(File(40, 10, 6, 8, 1024, 30, 1)), 40 + 1024);
  EXPECT_EQ(Offset(File(40, 10, -6, 8, 1024, 30, 1)), -1);  // top-down cannot be compressed
  EXPECT_EQ(Offset(File(40, 10, 6, 4, 64, 30, 1)), -1);     // run-length 8 needs 8 bits
}

TEST(BitmapLoader, RefusesFilesThatAreShortOrNotPictures) {
  Bytes good = File(40, 10, 6, 24, 0, kRows24);
  ASSERT_EQ(Offset(good), 40);
  Bytes b = good;
  b[0] = 'M';
  b[1] = 'B';
  EXPECT_EQ(Offset(b), -1) << "no B M";
  b = good;
  b.pop_back();
  EXPECT_EQ(Offset(b), -1) << "shorter than its total size";
  b = good;
  b.resize(b.size() + 100, 0xEE);
  EXPECT_EQ(Offset(b), 40) << "a longer file is read up to its total size";
  b = good;
  Put32(&b, 2, 0xFFFFFFF0u);
  EXPECT_EQ(Offset(b), -1) << "a total size far beyond the file";
  b = good;
  Put32(&b, 2, 14 + 3);
  EXPECT_EQ(Offset(b), -1) << "too short for the header size field";
  EXPECT_EQ(Offset(Bytes{'B', 'M', 14, 0}), -1) << "shorter than the file header";
  EXPECT_EQ(Offset(File(14, 10, 6, 24, 2, kRows24)), -1) << "header size 14";
  EXPECT_EQ(Offset(File(40, 10, 6, 24, 0, kRows24 - 1)), -1) << "one pixel byte short";
  EXPECT_EQ(Offset(File(40, 10, 6, 8, 1020, 12 * 6)), -1) << "colour table short";
  EXPECT_EQ(Offset(File(40, 10, 6, 8, 1024, 12 * 6, 0, 0x40000000)), -1) << "colours used";
  b = File(40, 10, 6, 24, 0, kRows24);
  Put32(&b, 14, 5000);
  EXPECT_EQ(Offset(b), -1) << "header longer than the block";
  EXPECT_EQ(Offset(File(40, 65536, 1, 1, 8, 8192)), -1) << "width above 65535";
  EXPECT_EQ(Offset(File(40, 1, -65536, 1, 8, 4 * 65536)), -1) << "height below -65535";
  EXPECT_EQ(Offset(File(40, 0, 6, 24, 0, kRows24)), -1) << "width 0";
  EXPECT_EQ(Offset(File(40, -10, 6, 24, 0, kRows24)), -1) << "negative width";
  EXPECT_EQ(Offset(File(40, 10, 6, 2, 16, 8 * 6)), -1) << "2 bits a pixel";
  EXPECT_EQ(Offset(File(12, 10, 6, 32, 0, 40 * 6)), -1) << "32 bits in the short form";
  EXPECT_EQ(Offset(File(40, 10, 6, 24, 0, kRows24, 4)), -1) << "a JPEG inside";
  // One plane only: a GDI that counts planes would read twice the rows these blocks hold, and
  // one of no planes draws nothing anywhere.
  for (uint32_t planes : {0u, 2u, 0xFFFFu}) {
    b = File(40, 10, 6, 24, 0, kRows24);
    Put16(&b, 26, planes);
    EXPECT_EQ(Offset(b), -1) << planes << " planes";
    b = File(12, 10, 6, 24, 0, kRows24 * 2);
    Put16(&b, 22, planes);
    EXPECT_EQ(Offset(b), -1) << planes << " planes in the short form";
  }
  DibLayout layout;
  EXPECT_EQ(LoadBitmapFile((::testing::TempDir() + "no-such.bmp").c_str(), &layout), nullptr);
}

int refreshes = 0;

class BitmapCommands : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    ResetServices();
    ResetScreen();
    for (const CommandEntry* table : {kInterpCommands, kServicesCommands, kScreenCommands})
      CommandTableAddAll(table);
    ScreenWidth = 640;
    ScreenHeight = 480;
    OffsetX1 = OffsetY1 = 0.0;
    HomeDir[0] = '\0';
    ReleaseDrawingBuffers();
    refreshes = 0;
    RefreshMainWindowHandler = [] { ++refreshes; };
    picture = Write("p.bmp", File(40, 10, 6, 24, 0, kRows24));
    dir = ::testing::TempDir();
  }
  void TearDown() override {
    RefreshMainWindowHandler = nullptr;
    ReleaseDrawingBuffers();
    HomeDir[0] = '\0';
    InterpTest::TearDown();
  }
  std::vector<std::string> Run(std::vector<std::string> lines) {
    lines.insert(lines.begin(), "[START]");
    ClearSectionTable();
    boxes.clear();
    EXPECT_EQ(Load(lines), 0);
    Start();
    return boxes;
  }
  static std::string Box(const char* message, int line = 2) {
    return std::string("KELVADO.INI ERROR!: ") + message + "\n\n[KELVADO.INI の ｾｸｼｮﾝ名 START, " +
           std::to_string(line) + " 行目 ｴﾝﾄﾘｰ名 ";
  }
  std::string picture, dir;
};

TEST_F(BitmapCommands, EachCommandPlacesItsPicture) {
  ScreenWidth = 1024;
  ScreenHeight = 768;
  ASSERT_TRUE(Run({"SetHomeDir,\"" + dir + "\"", "Bmp,\"p.bmp\",0.0,0.0,0.5,0.5",
                   "AbsBmp,\"" + picture + "\",0.5,0.5,1.0,1.0", "BmpC,\"p.bmp\"",
                   "AbsBmpC,\"" + picture + "\"", "AbsBgBmp,\"" + picture + "\",0.0,0.0,1.0,1.0",
                   "BmpBtn,\"NEXT\",\"p.bmp\",0.25,0.25,0.75,0.75"})
                  .empty());
  ASSERT_EQ(DisplayList.count, 6);
  for (int i = 0; i < 6; ++i) {
    const DisplayItem& item = *DisplayList.items[i];
    EXPECT_EQ(item.bitmap_path, picture) << i;  // HomeDir + name is the same file
    EXPECT_EQ(item.bitmap_width, 10);
    EXPECT_EQ(item.bitmap_height, 6);
    EXPECT_EQ(item.pixels, item.bitmap->data + 40);
    EXPECT_EQ(item.background, i == 4 ? 1 : 0);
    EXPECT_STREQ(item.section, i == 5 ? "NEXT" : "");
  }
  // BmpC and AbsBmpC: 640 x 480 at the top left, whatever the screen.
  for (int i : {2, 3}) {
    const DisplayItem& item = *DisplayList.items[i];
    EXPECT_EQ((std::vector<int>{item.left, item.top, item.right, item.bottom, item.width}),
              (std::vector<int>{0, 0, 639, 479, 640}));
  }
  EXPECT_EQ(DisplayList.items[1]->left, 512);
  EXPECT_EQ(refreshes, 0);
  ASSERT_TRUE(Run({"DoSelBtn"}).empty());
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(Run({"DoSelBtn,"}), (std::vector<std::string>{Box("FuncDoSelBtn に引数()があります") +
                                                          "DoSelBtn, でｴﾗｰが発生しました]"}));
}

TEST_F(BitmapCommands, FailuresAddNothing) {
  Bytes bad = File(14, 10, 6, 24, 0, kRows24);
  Write("bad.bmp", bad);
  std::string long_home(200, 'h'), long_name(56, 'x');  // 256 bytes together
  struct Case {
    std::string line;
    std::string box;  // empty: -1 without a message of the command's own
    std::string home;
  };
  const Case cases[] = {
      {"BmpBtn,\"GO\",\"missing.bmp\",0.0,0.0,1.0,1.0", "", ""},
      {"Bmp,\"bad.bmp\",0.0,0.0,1.0,1.0", "", ""},
      {"AbsBmp,\"p.bmp\",0.0,0.0,1.0,1.0", "", ""},  // without HomeDir: not found
      {"Bmp,\"p.bmp\",0.0,0.0,1.0", "zam_sscanfのﾌｫｰﾏｯﾄｴﾗｰ(%sn %fn %fn %fn %fn)", ""},
      {"BmpC,\"" + long_name + "\"", "FuncBmpC の引数が長すぎます(\"" + long_name + "\")",
       long_home},
      {"AbsBgBmp", "zam_sscanf", ""},
  };
  for (const Case& c : cases) {
    SetUp();
    std::string home = c.home.empty() ? dir : c.home;
    std::vector<std::string> shown = Run({"SetHomeDir,\"" + home + "\"", c.line});
    ASSERT_EQ(shown.size(), 1u) << c.line;
    std::string expected = c.box.empty() ? "KELVADO.INI ERROR!: \n\n[KELVADO.INI" : c.box;
    EXPECT_NE(shown[0].find(expected), std::string::npos) << shown[0] << "\n" << c.line;
    EXPECT_EQ(DisplayList.count, 0) << c.line;
  }
  // A button whose file cannot be loaded does not exist: a click there selects nothing.
  Run({"BmpBtn,\"GO\",\"" + dir + "missing.bmp\",0.0,0.0,1.0,1.0"});
  EXPECT_EQ(DisplayListHit(320, 240), nullptr);
}

std::vector<std::string> painted;  // "SECTION at X,Y" for each bitmap painted

const PaintCanvas kBitmapRecorder = {
    nullptr,
    [](void*, int32_t, int32_t) {},
    [](void*, const DisplayItem& item, int32_t x, int32_t y) {
      painted.push_back(std::string(item.section) + " at " + std::to_string(x) + "," +
                                  std::to_string(y));
    },
    [](void*, const PaintFont&) {},
    [](void*, const char*) { return 0; },
    [](void*, int32_t, int32_t, const char*, uint32_t) {},
    [](void*) {},
    [](void*, int32_t, int32_t) {},
};

TEST_F(BitmapCommands, ClicksFindTheFirstButtonAtItsUnshiftedPlace) {
  ASSERT_TRUE(Run({"SetHomeDir,\"" + dir + "\"", "BmpBtn,\"FIRST\",\"p.bmp\",0.1,0.1,0.5,0.5",
                   "BmpBtn,\"SECOND\",\"p.bmp\",0.25,0.25,0.75,0.75", "SetOffsetX1,0.5",
                   "SetOffsetY1,0.5", "[FIRST]", "OkNext,\"first\"", "[SECOND]",
                   "OkNext,\"second\""})
                  .empty());
  // Painted half their size further right and down ...
  painted.clear();
  PaintScreen(kBitmapRecorder);
  EXPECT_EQ(painted, (std::vector<std::string>{"FIRST at 192,144", "SECOND at 320,240"}));
  // ... but clicked where the script put them: the overlap belongs to the first one.
  ChooseButtonAt(200, 200);
  PumpAndTick();
  EXPECT_STREQ(GetSectionName(kOkNextSection).text, "first");
  ChooseButtonAt(400, 300);
  PumpAndTick();
  EXPECT_STREQ(GetSectionName(kOkNextSection).text, "second");
  ChooseButtonAt(64, 100);  // on FIRST's left border
  PumpAndTick();
  EXPECT_STREQ(GetSectionName(kOkNextSection).text, "second");
}

TEST_F(BitmapCommands, WorkBufferIsReplacedDroppedOrKept) {
  ASSERT_TRUE(Run({"SetHomeDir,\"" + dir + "\"", "AbsBmpToWkBuff,\"p.bmp\""}).empty());
  ASSERT_NE(WorkBuffer, nullptr);
  EXPECT_EQ(WorkBuffer->size, 40 + kRows24);
  EXPECT_EQ(DisplayList.count, 0);
  // Malformed arguments: the WorkBuffer stays.
  PackedDib* kept = WorkBuffer;
  std::vector<std::string> shown = Run({"AbsBmpToWkBuff,p.bmp"});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(WorkBuffer, kept);
  // A file that cannot be loaded: no WorkBuffer any more, and the name as given in the message.
  shown = Run({"AbsBmpToWkBuff,\"gone.bmp\""});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].find(Box("FuncAbsBmpToWkBuff でファイル(gone.bmp)からデータが読めませんでした",
                              2)),
            0u)
      << shown[0];
  EXPECT_EQ(WorkBuffer, nullptr);
  ASSERT_TRUE(Run({"AbsBmpToWkBuff,\"p.bmp\"", "DoClr"}).empty());
  EXPECT_EQ(WorkBuffer, nullptr);
}

}  // namespace
