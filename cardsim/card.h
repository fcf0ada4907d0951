// The emulator's inner parts: its state and what its files call of each other.
#ifndef KELVADO_CARDSIM_CARD_H
#define KELVADO_CARDSIM_CARD_H

#include <cstdint>

#include "aspi/srb.h"
#include "cardsim/cardsim.h"
#include "cardsim/host.h"

const uint32_t kCardSectorSize = 512;

struct CardState {
  CardSimConfig config;
  ImageFile* image;  // none: no medium
  uint64_t sectors;  // whole sectors of the image
  bool read_only;
};
extern CardState Card;

// scsi.cpp: the device. Whether a request is one a hang fault holds back; carrying a request out
// (its status, host adapter and target status and sense data are set; its event is not signalled).
bool ScsiRequestHangs(const SRB_ExecSCSICmd& srb);
void ScsiExecute(SRB_ExecSCSICmd* srb);

// worker.cpp: the thread that finishes requests, and the requests waiting for it or held back.
void WorkerInit();
void WorkerStop();
// Queues a request for the worker, or holds it back: false when too many are waiting.
bool WorkerSubmit(SRB_ExecSCSICmd* srb, bool hold);
// Aborts a waiting or held request: the SC_ABORT_SRB answer.
uint8_t WorkerAbort(void* srb);
int32_t WorkerHeld();
void WorkerReleaseHeld();

// reinsertion.cpp: the volume serial file that follows the card's boot sector.
void ReinsertionStart();
void ReinsertionAfterWrite(uint32_t lba, uint32_t count);

#endif
