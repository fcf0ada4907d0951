// Display items in pixels, the hit test, the lists' ownership of bitmaps and the order in which
// painting draws, recorded through a canvas that writes down every step.
#include "screen/paint.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "interp/exec.h"
#include "screen/display_list.h"
#include "screen/layout_settings.h"
#include "services/services_reset.h"

namespace {

// "fill W H", "bitmap X Y", "font H W FACE", "text X Y COLOUR TEXT", "release", "copy W H".
std::vector<std::string> steps;
int32_t measured_width = 0;  // what text_width answers

std::string Join(const char* name, std::initializer_list<long long> numbers,
                 const char* text = nullptr) {
  std::string step = name;
  for (long long n : numbers) step += " " + std::to_string(n);
  if (text != nullptr) step += std::string(" ") + text;
  return step;
}

const PaintCanvas kRecorder = {
    nullptr,
    [](void*, int32_t w, int32_t h) {
      steps.push_back(Join("fill", {w, h}));
    },
    [](void*, const DisplayItem&, int32_t x, int32_t y) {
      steps.push_back(Join("bitmap", {x, y}));
    },
    [](void*, const PaintFont& f) {
      steps.push_back(Join("font", {f.height, f.weight}, f.face));
    },
    [](void*, const char*) { return measured_width; },
    [](void*, int32_t x, int32_t y, const char* text, uint32_t colour) {
      steps.push_back(Join("text", {x, y, colour}, text));
    },
    [](void*) { steps.push_back("release"); },
    [](void*, int32_t w, int32_t h) {
      steps.push_back(Join("copy", {w, h}));
    },
};

class Screen : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInterpreter();
    ResetServices();
    ResetScreen();
    ScreenWidth = 640;
    ScreenHeight = 480;
    steps.clear();
    measured_width = 100;
  }
  void TearDown() override { ResetScreen(); }

  static DisplayItem Text(const char* text, double x1, double y1, double x2, double y2,
                          int32_t alignment) {
    DisplayItem item;
    ResetItem(&item);
    SetItemText(&item, text, x1, y1, x2, y2, alignment, 255, 255, 255, "Face", 4);
    return item;
  }
  static DisplayItem Picture(double x1, double y1, double x2, double y2) {
    DisplayItem item;
    ResetItem(&item);
    SetItemRect(&item, x1, y1, x2, y2);
    item.bitmap = PackedDibCreate(64);
    return item;
  }
  static void Add(DisplayItem item) { ASSERT_EQ(AppendItem(&DisplayList, &item), 0); }
  static std::vector<std::string> Painted() {
    PaintScreen(kRecorder);
    return steps;
  }
};

TEST_F(Screen, FractionsBecomePixelsRoundedAndKeptInRange) {
  DisplayItem item = Text("T", 0.0, 0.1, 1.0, 0.2, kAlignCentre);
  EXPECT_EQ(item.left, 0);
  EXPECT_EQ(item.top, 48);
  EXPECT_EQ(item.right, 640);
  EXPECT_EQ(item.bottom, 96);
  EXPECT_EQ(item.width, 641);  // one wider than the screen
  EXPECT_EQ(item.height, 49);
  // + 0.5, then cut towards zero: 0.0015 * 640 = 0.96 gives 1, -0.01 * 640 = -6.4 gives -5.
  EXPECT_EQ(FractionToPixel(640, 0.0015), 1);
  EXPECT_EQ(FractionToPixel(640, -0.01), -5);
  EXPECT_EQ(FractionToPixel(640, -0.0005), 0);
  // Nonsense from a script stays a number that painting can add and subtract.
  EXPECT_EQ(FractionToPixel(640, 1e300), kPixelLimit);
  EXPECT_EQ(FractionToPixel(640, -1e300), -kPixelLimit);
  EXPECT_EQ(FractionToPixel(640, std::numeric_limits<double>::quiet_NaN()), 0);
  item = Text("T", -1e300, -1e300, 1e300, 1e300, kAlignRight);
  EXPECT_EQ(item.width, 2 * kPixelLimit + 1);
}

TEST_F(Screen, ClicksHitButtonsStrictlyInsideInListOrder) {
  DisplayItem first = Picture(0.1, 0.1, 0.5, 0.5);  // 64, 48 .. 320, 240
  std::strcpy(first.section, "FIRST");
  DisplayItem second = Picture(0.0, 0.0, 1.0, 1.0);
  std::strcpy(second.section, "SECOND");
  Add(Text("no section", 0.0, 0.0, 1.0, 1.0, kAlignLeft));
  Add(first);
  Add(second);
  EXPECT_STREQ(DisplayListHit(65, 49), "FIRST");
  EXPECT_STREQ(DisplayListHit(319, 239), "FIRST");
  // On the border of the first button: only the second one, which covers the screen, is hit.
  EXPECT_STREQ(DisplayListHit(64, 100), "SECOND");
  EXPECT_STREQ(DisplayListHit(320, 100), "SECOND");
  EXPECT_STREQ(DisplayListHit(100, 48), "SECOND");
  EXPECT_STREQ(DisplayListHit(100, 240), "SECOND");
  EXPECT_EQ(DisplayListHit(0, 10), nullptr);
  EXPECT_EQ(DisplayListHit(640, 10), nullptr);
}

TEST_F(Screen, AppendMovesTheBitmapIntoTheListAndClearFreesIt) {
  DisplayItem item = Picture(0.0, 0.0, 0.5, 0.5);
  PackedDib* bitmap = item.bitmap;
  item.pixels = bitmap->data + 40;
  ASSERT_EQ(AppendItem(&DisplayList, &item), 0);
  EXPECT_EQ(item.bitmap, nullptr);
  EXPECT_EQ(item.pixels, nullptr);
  ASSERT_EQ(DisplayList.count, 1);
  EXPECT_EQ(DisplayList.items[0]->bitmap, bitmap);
  for (int i = 0; i < 100; ++i) Add(Picture(0.0, 0.0, 0.1, 0.1));
  EXPECT_EQ(DisplayList.count, 101);
  ClearItems(&DisplayList);  // the sanitizers see a bitmap freed twice or never
  EXPECT_EQ(DisplayList.count, 0);
  EXPECT_EQ(DisplayListHit(1, 1), nullptr);
}

TEST_F(Screen, TheImageIsCopiedOnlyWhenSomethingCountsAsDrawn) {
  EXPECT_EQ(Painted(), (std::vector<std::string>{"fill 640 480"}));
  // A background bitmap is not painted, but counts as drawn: the black image is copied.
  DisplayItem background = Picture(0.0, 0.0, 1.0, 1.0);
  background.background = 1;
  Add(background);
  steps.clear();
  EXPECT_EQ(Painted(), (std::vector<std::string>{"fill 640 480", "copy 640 480"}));
  // After ClrMainWin nothing of the list is drawn, and the black image is copied.
  Add(Text("T", 0.0, 0.0, 1.0, 0.1, kAlignLeft));
  MainWinCleared = true;
  steps.clear();
  EXPECT_EQ(Painted(), (std::vector<std::string>{"fill 640 480", "copy 640 480"}));
}

TEST_F(Screen, ItemsArePaintedInListOrderBitmapsShiftedTextsNot) {
  OffsetX1 = 0.5;
  OffsetY1 = -0.25;
  DisplayItem picture = Picture(0.1, 0.1, 0.2, 0.2);  // 64, 48 .. 128, 96: 65 x 49
  std::strcpy(picture.text, "on top");
  picture.text_colour = 0x0000FF;
  std::strcpy(picture.font_face, "Face");
  picture.weight = 7;
  picture.alignment = kAlignLeft;
  Add(picture);
  Add(Text("second", 0.0, 0.5, 0.5, 0.6, kAlignLeft));  // 0, 240 .. 320, 288
  EXPECT_EQ(Painted(),
            (std::vector<std::string>{
                "fill 640 480",
                "bitmap 96 35",  // 64 + 65 * 0.5 = 96.5, 48 - 49 * 0.25 = 35.75
                "font 48 700 Face", "text 64 48 255 on top", "release", "font 48 400 Face",
                "text 0 240 16777215 second", "release", "copy 640 480"}));
}

TEST_F(Screen, AlignmentOffsetsMayBeNegative) {
  // Room 100 - 0 = 100 pixels.
  EXPECT_EQ(TextOffset(kAlignCentre, 0, 100, 31), 34);    // 69 / 2
  EXPECT_EQ(TextOffset(kAlignCentre, 0, 100, 131), -15);  // -31 / 2, cut towards zero
  EXPECT_EQ(TextOffset(kAlignRight, 0, 100, 150), -50);   // starts left of the box
  EXPECT_EQ(TextOffset(5, 0, 100, 30), 0);
  EXPECT_EQ(TextOffset(kAlignRight, kPixelLimit, -kPixelLimit, INT32_MAX), INT32_MIN);
  measured_width = 150;
  Add(Text("wide", 0.0, 0.0, 0.15625, 0.1, kAlignRight));  // 0 .. 100
  EXPECT_EQ(Painted()[2], "text -50 0 16777215 wide");
}

TEST_F(Screen, OutlineRingIsDrawnColumnsFirstThenRowsThenTheText) {
  DisplayItem item;
  ResetItem(&item);
  SetItemOutlinedText(&item, "R", 0.0, 0.0, 0.5, 0.1, kAlignLeft, 1, 2, 3, "Face", 4, 0, 0, 0, 1);
  Add(item);  // 0, 0 .. 320, 48
  EXPECT_EQ(Painted(),
            (std::vector<std::string>{
                "fill 640 480", "font 48 400 Face",
                // left column, right column, top row, bottom row
                "text -1 -1 0 R", "text -1 0 0 R", "text -1 1 0 R", "text 1 -1 0 R", "text 1 0 0 R",
                "text 1 1 0 R", "text -1 -1 0 R", "text 0 -1 0 R", "text 1 -1 0 R", "text -1 1 0 R",
                "text 0 1 0 R", "text 1 1 0 R", "text 0 0 197121 R", "release", "copy 640 480"}));
}

TEST_F(Screen, OutlineWidthZeroDrawsFourTimesInPlaceAndHugeOnesAreBounded) {
  DisplayItem item;
  ResetItem(&item);
  SetItemOutlinedText(&item, "R", 0.5, 0.5, 1.0, 0.6, kAlignLeft, 255, 255, 255, "F", 4, 9, 9, 9,
                      0);
  Add(item);
  std::vector<std::string> painted = Painted();
  ASSERT_EQ(painted.size(), 9u);
  for (int i = 2; i < 6; ++i) EXPECT_EQ(painted[i], "text 320 240 592137 R");
  EXPECT_EQ(painted[6], "text 320 240 16777215 R");

  // A script's absurd width costs a bounded ring, drawn at coordinates that stay in range.
  ClearItems(&DisplayList);
  SetItemOutlinedText(&item, "R", 1e300, 1e300, 1e300, 1e300, kAlignRight, 0, 0, 0, "F", INT32_MAX,
                      0, 0, 0, INT32_MAX);
  Add(item);
  steps.clear();
  measured_width = INT32_MIN;
  painted = Painted();
  EXPECT_EQ(painted.size(), static_cast<size_t>(8 * kMaxOutlineWidth + 4 + 5));
  EXPECT_EQ(painted[1], "font 0 2147483647 F");
  ClearItems(&DisplayList);
  SetItemOutlinedText(&item, "R", 0.0, 0.0, 1.0, 1.0, kAlignLeft, 0, 0, 0, "F", 4, 0, 0, 0, -3);
  Add(item);
  steps.clear();
  EXPECT_EQ(Painted().size(), 5u);  // a negative width draws no ring
}

TEST_F(Screen, FontFaceIsCutTo31BytesWithoutSplittingACharacter) {
  // 30 ASCII bytes, then a double-byte character: the character would end at byte 32.
  std::string face(30, 'F');
  face += "\x95\x57";
  Add(Text("T", 0.0, 0.0, 1.0, 0.1, kAlignLeft));
  std::strcpy(DisplayList.items[0]->font_face, face.c_str());
  EXPECT_EQ(Painted()[1], "font 48 400 " + std::string(30, 'F'));
}

}  // namespace
