// A card for the engine's tests: a sparse image file behind the sector transfers, the engine's
// globals put back to a known state, and recorders for the I/O and what the engine reports.
#ifndef KELVADO_TESTS_ENGINE_TEST_CARD_H
#define KELVADO_TESTS_ENGINE_TEST_CARD_H

#include <cstdint>
#include <string>
#include <vector>

// A fresh image of `sectors` zero sectors, opened as the card, with the engine reset: adapter
// "njata95", no FAT32, no data check, serial 1, no report, no faults.
class TestCard {
 public:
  explicit TestCard(uint64_t sectors);
  ~TestCard();
  TestCard(const TestCard&) = delete;
  TestCard& operator=(const TestCard&) = delete;

  // A sector as the image holds it, read around the engine.
  std::vector<uint8_t> Sector(uint32_t lba) const;
  void FillSector(uint32_t lba, uint8_t byte);
  void PutSector(uint32_t lba, const std::vector<uint8_t>& sector);

 private:
  std::string path_;
};

// CalcGeometry, BuildPartitionEntry and MakePartition, as the check dialog and the partition
// worker run them. Returns MakePartition's result (or CalcGeometry's when it fails).
int32_t FormatCard(bool fat32);

// Fails reads or writes of the sectors in `list` ("a,b-c"); an empty list fails none.
void FailReads(const char* list);
void FailWrites(const char* list);

// Every transfer the engine asks for, in order.
struct Transfer {
  bool write;
  uint32_t lba;
  uint32_t count;
};
extern std::vector<Transfer> Transfers;
// From now on, record into Transfers (emptied first). When `abort_at_write` is positive, the
// AbortEvent is set as the engine asks for that write (counted from 1).
void RecordTransfers(int abort_at_write = 0);
std::vector<uint32_t> WrittenSectors();  // the first sector of every recorded write

// Every status text and progress call the engine reports, in order.
struct Reported {
  enum What { kStatus, kRange, kPosition, kStep, kStepIt } what;
  uint32_t value;    // the range's maximum, the position or the step
  std::string text;  // the status text
};
extern std::vector<Reported> ReportedCalls;
// From now on, a report that records into ReportedCalls (emptied first) is registered.
void RecordReport();

#endif
