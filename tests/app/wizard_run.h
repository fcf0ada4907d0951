// The built-in script run natively from START to its end, with a person at the dialogs: the
// card is an image served by the card emulator, C: and the card's drive are host folders behind
// the drive seam, the dialogs are stand-ins whose reactions the person triggers, and the workers
// are real threads whose messages the dialog's thread handles while they wait.
#ifndef KELVADO_TESTS_APP_WIZARD_RUN_H
#define KELVADO_TESTS_APP_WIZARD_RUN_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/window.h"
#include "platform/window_native.h"
#include "tests/aspi/temp_card.h"

struct WizardRun {
  // A card of `card_mib` MiB; C: is a made Windows 98 system drive of about 5 MiB.
  explicit WizardRun(uint32_t card_mib);
  ~WizardRun();

  // What the person does when a dialog has started (by dialog index); without an entry, the
  // default button is pressed (ｷｬﾝｾﾙ/後でシャットダウン on the end dialogs), and the card is put
  // back before 次へ>> of the card dialog.
  std::function<void(NativeDialog*)> act[8];
  // How the person answers a box: by default OK, or Yes to a question.
  std::function<int32_t(const std::string& caption, const std::string& text)> answer;

  // Runs the script until the program closes (or `limit_s` seconds pass: a failure).
  void Run(double limit_s = 120);

  // The person's hands, for `act`: presses a button and lets the dialog's thread handle what the
  // worker sends until `done` holds (or the dialog ends, or 60 s pass).
  void Press(NativeDialog* dialog, int32_t id);
  void HandleUntil(NativeDialog* dialog, const std::function<bool()>& done);
  std::string Text(NativeDialog* dialog, int32_t id);
  // Takes the card out and puts it back: its drive E: appears with the serial of its volume.
  void PresentCard();

  // What happened.
  std::vector<std::string> dialogs;  // DLG_... in order
  std::vector<std::string> boxes;    // "CAPTION: TEXT" in order (Shift-JIS)
  std::atomic<int> worker_positions{0};  // progress positions the workers sent
  std::atomic<int> worker_texts{0};      // texts the workers wrote into the dialogs
  bool closed = false;

  TempCard card;
  std::string source;  // the folder that is C:
  std::vector<std::string> source_files;  // relative paths, '/' separated
  uint32_t source_used_clusters = 0;      // of 4 KiB
  uint32_t source_total_clusters = 0;
};

// The card's verdict (tools/wine/card_verdict.py): its output, and whether the card is good.
bool CardVerdict(const WizardRun& run, const std::vector<std::string>& left_out,
                 std::string* output);
// The volume serial in the card's boot sector, or 0 without a FAT partition.
uint32_t CardSerial(const TempCard& card);

#endif
