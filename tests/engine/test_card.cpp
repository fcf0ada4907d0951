#include "tests/engine/test_card.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "aspi/aspi.h"
#include "engine/boot_records.h"
#include "engine/engine_hooks.h"
#include "engine/engine_reset.h"
#include "engine/engine_report.h"
#include "engine/partition.h"
#include "engine/system_area.h"
#include "engine/vol_serial.h"
#include "cardsim/image_card.h"

std::vector<Transfer> Transfers;
std::vector<Reported> ReportedCalls;

static Event* test_abort_event = nullptr;
static int abort_write = 0;
static int writes_seen = 0;

// The engine at its start values, then as the tests want it.
static void PrepareEngine() {
  ResetTargetIdentity();
  ResetEngine();
  std::strcpy(HostAdapterName, "njata95");
  AdapterNumber = 0;
  ChkDataArea = 0;
  NewVolSerial = 1;
  ImageCardWatch = nullptr;
  ImageCardSetDiskInfo(0, 0);
  FailReads("");
  FailWrites("");
  Transfers.clear();
  ReportedCalls.clear();
}

TestCard::TestCard(uint64_t sectors) {
  char name[] = "/tmp/kelvado-card-XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(sectors * 512)) != 0) std::abort();
  close(fd);
  path_ = name;
  PrepareEngine();
  std::string error;
  if (!ImageCardOpen(name, &error)) std::abort();
}

TestCard::~TestCard() {
  ImageCardClose();
  unlink(path_.c_str());
  PrepareEngine();
  if (test_abort_event) EventDestroy(test_abort_event);
  test_abort_event = nullptr;
}

std::vector<uint8_t> TestCard::Sector(uint32_t lba) const {
  std::vector<uint8_t> sector(512);
  int fd = open(path_.c_str(), O_RDONLY);
  if (fd < 0 || pread(fd, sector.data(), 512, off_t{lba} * 512) != 512) std::abort();
  close(fd);
  return sector;
}

void TestCard::FillSector(uint32_t lba, uint8_t byte) {
  PutSector(lba, std::vector<uint8_t>(512, byte));
}

void TestCard::PutSector(uint32_t lba, const std::vector<uint8_t>& sector) {
  int fd = open(path_.c_str(), O_WRONLY);
  if (fd < 0 || pwrite(fd, sector.data(), 512, off_t{lba} * 512) != 512) std::abort();
  close(fd);
}

int32_t FormatCard(bool fat32) {
  Fat32Enabled = fat32 ? 1 : 0;
  int32_t result = CalcGeometry();
  if (result != 0) return result;
  BuildPartitionEntry();
  return MakePartition(AdapterNumber);
}

static void SetFaults(const char* text, void (*set)(const SectorList&)) {
  SectorList list;
  if (!ParseSectorList(text, &list)) std::abort();
  set(list);
}

void FailReads(const char* list) { SetFaults(list, ImageCardFailReads); }
void FailWrites(const char* list) { SetFaults(list, ImageCardFailWrites); }

static void OnTransfer(bool write, uint32_t lba, uint32_t count) {
  Transfers.push_back({write, lba, count});
  if (write && ++writes_seen == abort_write) EventSet(test_abort_event);
}

void RecordTransfers(int abort_at_write) {
  Transfers.clear();
  writes_seen = 0;
  abort_write = abort_at_write;
  if (abort_at_write > 0) {
    if (!test_abort_event) test_abort_event = EventCreate(true, false);
    EventReset(test_abort_event);
    AbortEvent = test_abort_event;
  }
  ImageCardWatch = OnTransfer;
}

std::vector<uint32_t> WrittenSectors() {
  std::vector<uint32_t> sectors;
  for (const Transfer& t : Transfers)
    if (t.write) sectors.push_back(t.lba);
  return sectors;
}

static void Record(Reported::What what, uint32_t value, const char* text = "") {
  ReportedCalls.push_back({what, value, text});
}

static const EngineReport kRecordingReport = {
    nullptr,
    [](void*, const char* text) { Record(Reported::kStatus, 0, text); },
    [](void*, uint32_t maximum) { Record(Reported::kRange, maximum); },
    [](void*, uint32_t position) { Record(Reported::kPosition, position); },
    [](void*, uint32_t step) { Record(Reported::kStep, step); },
    [](void*) { Record(Reported::kStepIt, 0); },
    nullptr,
    nullptr,
    nullptr};

void RecordReport() {
  ReportedCalls.clear();
  RegisteredReport = &kRecordingReport;
}
