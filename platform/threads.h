// Threads, locks and events for code that runs both in kelvado.exe and natively.
//
// kelvado.exe is built with MinGW's win32 thread model, which has no std::thread, std::mutex or
// std::condition_variable; the Win32 build implements these functions with CreateThread,
// CRITICAL_SECTION and CreateEventA, the native build with the standard library.
//
// What more than one thread touches, and how access is ordered (each says so beside it too):
//   the section hand-over (interp/section_choice.h): one lock around every access;
//   the engine's AbortEvent (engine/engine_hooks.h), its RegisteredReport (engine/engine_report.h)
//   with the controls the wizard's report writes (wizard/dialog_report.cpp), and the engine's
//   state (geometry, partition, boot buffers, lists): the main thread before a worker starts and
//   after it has ended, the worker in between;
//   ChildProcess, the program that WinExecEx starts: written by the main thread before its
//   watcher starts, read by the watcher; the exit sequence terminates it and waits for the
//   watcher before releasing it. The watcher chooses EndSection only through section_choice.h.
#ifndef KELVADO_PLATFORM_THREADS_H
#define KELVADO_PLATFORM_THREADS_H

#include <cstdint>

// Wait without a time limit.
const uint32_t kWaitForever = 0xFFFFFFFFu;

// A lock that one thread holds at a time (not recursive).
struct Lock;
Lock* LockCreate();
void LockDestroy(Lock* lock);
void LockEnter(Lock* lock);
void LockLeave(Lock* lock);
// Holds a lock from its making to the end of the scope it is made in.
struct LockHold {
  explicit LockHold(Lock* held) : lock(held) { LockEnter(lock); }
  ~LockHold() { LockLeave(lock); }
  LockHold(const LockHold&) = delete;
  LockHold& operator=(const LockHold&) = delete;
  Lock* const lock;
};

// An event as Win32 has them: a manual-reset event stays signalled until it is reset, an
// auto-reset event releases one waiter and resets itself.
struct Event;
Event* EventCreate(bool manual_reset, bool signalled);
void EventDestroy(Event* event);
void EventSet(Event* event);
void EventReset(Event* event);
// 1 when the event was signalled within timeout_ms, 0 when the time ran out.
int EventWait(Event* event, uint32_t timeout_ms);
// The handle a driver signals: the Win32 event handle in kelvado.exe, the Event itself natively.
void* EventNativeHandle(Event* event);

// A thread running fn(arg).
typedef uint32_t (*ThreadFunction)(void* arg);
struct Thread;
Thread* ThreadStart(ThreadFunction fn, void* arg);
// 1 when the thread has ended within timeout_ms, 0 when the time ran out.
int ThreadWait(Thread* thread, uint32_t timeout_ms);
// Waits for the thread to end and releases it.
void ThreadJoin(Thread* thread);

// Milliseconds since an arbitrary start, wrapping at 2^32, as GetTickCount.
uint32_t TickCount();
void SleepMs(uint32_t ms);

// Reals are IEEE doubles in every build. The x87 unit that kelvado.exe computes with starts at
// 64-bit precision, so each result is rounded twice (to 64 bits, then to 53 when stored), and a sum
// can come out one unit in the last place away from the native build's. UseDoublePrecision sets the
// calling thread to round once, to 53 bits, as the native build does.
void UseDoublePrecision();

#endif
