// kelvado-card verify: a card judged, read-only.
#include "tools/card/card_verify.h"

#include <cstdio>
#include <string>
#include <vector>

#include "fat/compare.h"
#include "fat/plan.h"
#include "tools/card/card_console.h"
#include "tools/card/card_inspection.h"
#include "tools/card/card_source.h"
#include "tools/card/file_bytes.h"
#include "tools/card/storage.h"

const char kVerifyUsage[] =
    "usage: kelvado-card verify CARD [--against SOURCE]\n"
    "CARD: an image file or a disk holding a card (read only)\n"
    "SOURCE: a folder, or an image or a disk holding a FAT12/16/32 volume (read only)\n";

namespace {

int Usage(const char* problem) {
  std::fprintf(stderr, "kelvado-card: %s\n%s", problem, kVerifyUsage);
  return 2;
}

// The card's tree compared with SOURCE's as transfer would have written it: a finding.
CardFinding CompareWithSource(const char* path, CardInspection* card) {
  CardFinding finding;
  finding.part = "against";
  CardSource source;
  std::string error;
  if (!ReadCardSource(path, &source, &error)) {
    finding.text = error;
    return finding;
  }
  if (!card->has_tree) {
    finding.text = "the card's files cannot be read";
    return finding;
  }
  std::vector<std::string> renamed;
  PlanCardNames(&source.tree, &source.left_out, &renamed);
  for (const std::string& line : source.notes) Say("note: " + line);
  for (const std::string& line : renamed) Say("renamed: " + line);
  for (const std::string& line : source.left_out) Say("left out: " + line);
  std::vector<std::string> differences;
  ShowEngineOnStderr();
  CompareTrees(source.tree, source.bytes.get(), card->tree, card->volume.get(), &differences);
  EndProgressLine();
  for (const std::string& line : differences) Say("differs: " + line);
  finding.sound = differences.empty();
  finding.text = finding.sound ? CountText(CountTree(source.tree)) + " as in " + path
                               : std::to_string(differences.size()) + (differences.size() == 1 ? " difference" : " differences") + " from " + path;
  return finding;
}

}  // namespace

int VerifyCommand(int argc, char** argv) {
  if (argc < 3 || argv[2][0] == '-') return Usage("verify needs CARD before its options");
  const char* against = nullptr;
  for (int i = 3; i < argc; ++i) {
    std::string name = argv[i];
    if (name == "--against" && i + 1 < argc && against == nullptr)
      against = argv[++i];
    else
      return Usage(name == "--against" ? "--against takes one SOURCE" : "unknown option");
  }
  const PathFacts facts = Storage.path(argv[2]);
  if (facts.kind != PathFacts::kFile && facts.kind != PathFacts::kBlockDevice) {
    Say(std::string("verify: FAILED: ") + argv[2] +
        (facts.kind == PathFacts::kMissing ? " does not exist" : " is neither an image file nor a disk"));
    return 1;
  }
  FileBytes bytes;
  std::string error;
  if (!bytes.Open(argv[2], &error)) {
    Say(std::string("verify: FAILED: ") + argv[2] + ": " + error);
    return 1;
  }
  Say(std::string("card: ") + argv[2] + ", " + std::to_string(bytes.Size()) + " bytes");
  CardInspection inspection;
  InspectCard(&bytes, &inspection);
  if (against != nullptr) inspection.findings.push_back(CompareWithSource(against, &inspection));
  std::string reasons;
  for (const CardFinding& finding : inspection.findings) {
    Say(finding.part + ": " + (finding.sound ? "ok: " : "BAD: ") + finding.text);
    if (!finding.sound) reasons += (reasons.empty() ? "" : "; ") + finding.part + ": " + finding.text;
  }
  if (inspection.Boots()) {
    Say("verify: the card will boot the system it holds");
    return 0;
  }
  Say("verify: the card will not boot the system it holds (" +
      (reasons.empty() ? std::string("nothing on it could be judged") : reasons) + ")");
  return 1;
}
