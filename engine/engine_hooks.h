// The engine's hooks into the dialog that runs it: the abort request, a progress bar and a status
// line. One of each, global; the dialogs register and unregister the controls, and the engine
// reports to whatever is registered. Without a control nothing is shown; without an AbortEvent
// nothing is ever interrupted.
#ifndef KELVADO_ENGINE_ENGINE_HOOKS_H
#define KELVADO_ENGINE_ENGINE_HOOKS_H

#include <cstdint>

#include "platform/threads.h"

// Manual-reset event set when the user confirms an interrupt; none outside a worker's run.
extern Event* AbortEvent;
// Threads: created, reset and destroyed by the main thread while no worker runs; set by the main
// thread, tested by the worker. The event orders the two; the pointer never changes during a run.
// Manual-reset event, set while the worker may go on; the main thread resets it while it asks
// the user whether to interrupt, and the worker then waits at its next poll. Holding the worker
// there, where it owns no lock, keeps the question box from waiting on a lock (the C runtime's
// heap, the loader's) that a worker stopped at an arbitrary point could hold. None: never held.
// Created and destroyed by the main thread while no worker runs; waited on by the worker.
extern Event* WorkerGate;
// The registered progress bar and status text controls (window handles in kelvado.exe), or none.
extern void* EngineProgressBar;
extern void* EngineStatusText;
// Threads: registered by the dialog (main thread) before its worker starts and unregistered after
// it has ended; the worker only reads them and sends the controls synchronous messages.

// True when AbortEvent exists and is set; tested with a zero time-out. Waits first while the
// WorkerGate is closed, so the worker stays here while the interrupt question is open.
bool AbortRequested();
// Waits while the WorkerGate is closed. The progress and status hooks pass it too, so that a
// phase that never polls AbortEvent is held as well.
void WorkerHoldPoint();

// Progress bar messages, sent only while a bar is registered. The bar's range is 16-bit, so a
// range maximum is taken modulo 65,536.
void ProgressSetRange(uint32_t maximum);
void ProgressSetPos(uint32_t position);
void ProgressSetStep(uint32_t step);
void ProgressStepIt();

// Writes `text` (Shift-JIS) into the status line, when one is registered.
void StatusSetText(const char* text);

// One phase of a long engine operation: its status text, then the bar reset to position 0 with the
// range 0..length. ProgressAdvance moves the bar as the work goes on, sending only positions that
// differ from the last one sent; ProgressPhaseDone puts it at the end of the range.
void ProgressPhase(const char* status, uint32_t length);
void ProgressAdvance(uint32_t position);
void ProgressPhaseDone();

// The card engine's state as at program start, for tests, fuzzers and tools.
// Puts the target's identity, the switches (ChkDataArea 1, Fat32Enabled 0), the geometry, the
// new partition and its serial, the bad cluster and partition lists and the hooks back to their
// start values. Leaves the driver library as it is (AspiUnload releases it). Main thread only,
// with no worker running.
void ResetEngine();

#endif
