// The engine's worker threads: the partition worker and the copy worker, one at a time.
//
// A worker reports to its dialog only with synchronous messages, so the dialog's thread handles
// each update while the worker waits: what the engine shows, and an engine code that ends the
// run, go to the engine's report (the dialog's, wizard/dialog_report.h). It ends by sending its
// dialog WM_COMMAND with the id kWorkerDone and its result (0, -9 interrupted, or an engine code
// it has already shown) and then returns. The main thread starts it, holds it at its next poll while asking whether to
// interrupt (WorkerGate), stops it through AbortEvent, and releases it after that last message.
#ifndef KELVADO_WIZARD_WORKERS_H
#define KELVADO_WIZARD_WORKERS_H

#include <cstdint>

#include "platform/threads.h"

// WM_COMMAND and the control id of the worker's last message.
const uint32_t kWmCommand = 0x0111;
const uint32_t kWorkerDone = 101;

// The running worker, or none. Main thread only.
extern Thread* WorkerThread;

// Starts `fn(dialog)` with a fresh, unsignalled AbortEvent and an open WorkerGate, after
// releasing an earlier worker: 0, or -1 when the thread or the events cannot be made.
int32_t StartWorker(ThreadFunction fn, void* dialog);
// True from StartWorker until the dialog has taken the worker's last message (WorkerEnded).
bool WorkerRunning();
// The dialog took the last message: the worker returns as soon as the message is answered.
void WorkerEnded();
// Waits for an ended worker and releases it with AbortEvent and WorkerGate (nothing when none).
void ReleaseWorker();

// The worker's last message to its dialog.
void NotifyWorkerDone(void* dialog, int32_t result);

// The partition worker: partition entry, file system and master boot record under NewVolSerial.
// Exit code 0 done, 1 interrupted, else the engine's code.
uint32_t PartitionWorker(void* dialog);

// The copy worker: every file of SourceRoot onto TargetRoot, then the card's final volume serial
// (a fresh one when UseNewVolSerial is 1, else the source drive's). Exit code 0 done, 1
// interrupted or the serial not written, else the copy's code.
uint32_t CopyWorker(void* dialog);

#endif
