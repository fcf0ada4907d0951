// The engine's control of its run by whoever runs it: the abort request and the gate that holds
// the worker while the person is asked whether to interrupt. Without an AbortEvent nothing is
// ever interrupted. What the engine shows while it runs goes to its report
// (engine/engine_report.h).
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

// True when AbortEvent exists and is set; tested with a zero time-out. Waits first while the
// WorkerGate is closed, so the worker stays here while the interrupt question is open.
bool AbortRequested();
// Waits while the WorkerGate is closed. The report's status and progress positions pass it too,
// so that a phase that never polls AbortEvent is held as well.
void WorkerHoldPoint();

#endif
