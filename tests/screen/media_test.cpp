// The playback commands against the stand-in device: what is asked of the device layer and in
// which order, how the end of a playback runs EndSection, what DoClr stops, and that replacing a
// device that never reports a stop waits a bounded time.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <cstdio>
#include <string>
#include <vector>

#include "interp/commands.h"
#include "interp/section_choice.h"
#include "interp/section_table.h"
#include "screen/display_list.h"
#include "screen/media.h"
#include "screen/paint.h"
#include "screen/screen_commands.h"
#include "screen/screen_native.h"
#include "services/directories.h"
#include "services/services_commands.h"
#include "services/services_reset.h"
#include "tests/interp/harness.h"

namespace {

std::vector<std::string> requests;
uint32_t first_device = 0;  // the stand-in numbers devices on; requests count from this one

class Media : public InterpTest {
 protected:
  void SetUp() override {
    InterpTest::SetUp();
    ResetServices();
    ResetScreen();
    for (const CommandEntry* table : {kInterpCommands, kServicesCommands, kScreenCommands})
      CommandTableAddAll(table);
    ScreenWidth = 800;
    ScreenHeight = 600;
    dir = ::testing::TempDir();
    for (const char* name : {"a.wav", "b.wav", "v.avi"}) {
      FILE* f = std::fopen((dir + name).c_str(), "wb");
      std::fclose(f);
    }
    MediaStopAndClose();
    uint32_t probe = 0;
    MediaDeviceOpen("probe", (dir + "a.wav").c_str(), &probe);
    MediaDeviceClose(probe);
    first_device = probe + 1;
    requests.clear();
    MediaStandInNeverStops = false;
    MediaDeviceTraceHook = [](const char* request) {
      std::string r = request;
      size_t at = r.find(::testing::TempDir());
      if (at != std::string::npos) r.erase(at, ::testing::TempDir().size());
      // Device numbers from 1 in each test: every word of digits is one.
      std::istringstream words(r);
      std::string word, renumbered;
      while (words >> word) {
        if (word.find_first_not_of("0123456789") == std::string::npos &&
            std::stoul(word) >= first_device)
          word = std::to_string(std::stoul(word) - first_device + 1);
        renumbered += (renumbered.empty() ? "" : " ") + word;
      }
      r = renumbered;
      requests.push_back(r);
    };
  }
  void TearDown() override {
    MediaStandInNeverStops = false;
    MediaStopAndClose();
    MediaDeviceTraceHook = nullptr;
    HomeDir[0] = '\0';
    ReleaseDrawingBuffers();
    InterpTest::TearDown();
  }
  std::vector<std::string> Run(std::vector<std::string> lines) {
    lines.insert(lines.begin(), "[START]");
    lines.insert(lines.begin() + 1, "SetHomeDir,\"" + dir + "\"");
    ClearSectionTable();
    boxes.clear();
    EXPECT_EQ(Load(lines), 0);
    Start();
    return boxes;
  }
  // Requests since the last call.
  std::vector<std::string> Requests() {
    std::vector<std::string> r;
    r.swap(requests);
    return r;
  }
  std::string dir;
};

typedef std::vector<std::string> Texts;

TEST_F(Media, SoundPlaysToItsEndAndTheEndSectionRuns) {
  ASSERT_TRUE(Run({"PlayWave,\"a.wav\"", "PlayWave,\"b.wav\"", "SetEndSection,\"END\"", "[END]",
                   "OkNext,\"ended\""})
                  .empty());
  // The second sound replaces the first, without waiting.
  EXPECT_EQ(Requests(), (Texts{"open waveaudio a.wav = 1", "play 1", "mode 1", "stop 1", "close 1",
                               "open waveaudio b.wav = 2", "play 2"}));
  // The first sound's end comes late: the end section waits for the one that plays now.
  MediaEnded(kMediaEndSuccessful, MciDevice - 1);
  MediaEnded(4, MciDevice);  // aborted: ignored
  EXPECT_EQ(posted_new_ones, 0);
  EXPECT_TRUE(Requests().empty());
  MediaEnded(kMediaEndSuccessful, MciDevice);
  EXPECT_EQ(Requests(), (Texts{"mode 2", "stop 2", "close 2"}));
  EXPECT_EQ(MciDevice, 0u);
  Pump();
  EXPECT_STREQ(GetSectionName(kOkNextSection).text, "ended");
}

TEST_F(Media, VideoFillsTheWindowAndDoClrStopsTheLoop) {
  ASSERT_TRUE(Run({"PlayWave,\"a.wav\"", "PlayAviRepeat,\"v.avi\",0.1,0.1,0.2,0.2", "DoClr"})
                  .empty());
  EXPECT_EQ(Requests(),
            (Texts{"open waveaudio a.wav = 1", "play 1", "mode 1", "stop 1", "mode 1", "close 1",
                   "open AVIVideo v.avi = 2", "window 2", "put 2 800x600", "play 2 repeat",
                   "mode 2", "stop 2", "close 2"}));
  EXPECT_EQ(MciDevice, 0u);
  // Without an end section, the end of a video closes it and nothing more happens.
  ASSERT_TRUE(Run({"PlayAvi,\"v.avi\",0,0,1,1"}).empty());
  MediaEnded(kMediaEndSuccessful, MciDevice);
  EXPECT_EQ(MciDevice, 0u);
  EXPECT_EQ(posted_new_ones, 0);
}

TEST_F(Media, ADeviceThatNeverStopsIsClosedAfterABoundedWait) {
  ASSERT_TRUE(Run({"PlayAviRepeat,\"v.avi\",0,0,1,1"}).empty());
  MediaStandInNeverStops = true;
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(Run({"PlayAvi,\"v.avi\",0,0,1,1"}).empty());
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(kMediaStopWaitMs));
  EXPECT_LT(waited, std::chrono::milliseconds(3 * kMediaStopWaitMs));
  std::vector<std::string> r = Requests();
  ASSERT_GE(r.size(), 4u);
  EXPECT_EQ(r[r.size() - 4], "open AVIVideo v.avi = 2");
}

TEST_F(Media, FailuresAndTheirMessages) {
  struct Case {
    const char* line;
    std::string message;
  };
  std::string long_name(256, 'n');
  const Case cases[] = {
      {"PlayAvi,\"gone.avi\",0,0,1,1", "MCI_OPEN avivideoエラー(device error 275)"},
      {"PlayWave,\"gone.wav\"", "waveaudioエラー(device error 275)"},
      {"PlayAviRepeat,\"v.avi\",0,0,1", "zam_sscanfのﾌｫｰﾏｯﾄｴﾗｰ(%sn %fn %fn %fn %fn)"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> shown = Run({c.line});
    ASSERT_EQ(shown.size(), 1u) << c.line;
    EXPECT_EQ(shown[0].find("KELVADO.INI ERROR!: " + c.message), 0u) << shown[0] << "\n" << c.line;
    EXPECT_EQ(MciDevice, 0u);
  }
  // A home directory and a name of 256 bytes together: both video commands say PlayAvi.
  std::string home(200, 'h'), name(56, 'n');
  std::vector<std::string> shown = Run({"SetHomeDir,\"" + home + "\"",
                                        "PlayAviRepeat,\"" + name + "\",0,0,1,1"});
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].find("KELVADO.INI ERROR!: FuncPlayAvi の引数が長すぎます(" + name + ")"), 0u)
      << shown[0];
}

}  // namespace
