// Threads, locks and events on Win32: CreateThread, CRITICAL_SECTION and CreateEventA, all of
// which Windows 95 has.
#include <windows.h>

#include "platform/threads.h"

static_assert(kWaitForever == INFINITE, "kWaitForever is INFINITE");

struct Lock {
  CRITICAL_SECTION section;
};

Lock* LockCreate() {
  Lock* lock = new Lock;
  InitializeCriticalSection(&lock->section);
  return lock;
}

void LockDestroy(Lock* lock) {
  DeleteCriticalSection(&lock->section);
  delete lock;
}

void LockEnter(Lock* lock) { EnterCriticalSection(&lock->section); }
void LockLeave(Lock* lock) { LeaveCriticalSection(&lock->section); }

struct Event {
  HANDLE handle;
};

Event* EventCreate(bool manual_reset, bool signalled) {
  HANDLE handle = CreateEventA(NULL, manual_reset ? TRUE : FALSE, signalled ? TRUE : FALSE, NULL);
  if (handle == NULL) return nullptr;
  Event* event = new Event;
  event->handle = handle;
  return event;
}

void EventDestroy(Event* event) {
  CloseHandle(event->handle);
  delete event;
}

void EventSet(Event* event) { SetEvent(event->handle); }
void EventReset(Event* event) { ResetEvent(event->handle); }

int EventWait(Event* event, uint32_t timeout_ms) {
  return WaitForSingleObject(event->handle, timeout_ms) == WAIT_OBJECT_0 ? 1 : 0;
}

void* EventNativeHandle(Event* event) { return event->handle; }

struct Thread {
  HANDLE handle;
  ThreadFunction fn;
  void* arg;
};

static DWORD WINAPI ThreadEntry(LPVOID param) {
  Thread* t = static_cast<Thread*>(param);
  return t->fn(t->arg);
}

Thread* ThreadStart(ThreadFunction fn, void* arg) {
  Thread* t = new Thread;
  t->fn = fn;
  t->arg = arg;
  DWORD id;  // Windows 95 fails CreateThread when the id pointer is NULL.
  t->handle = CreateThread(NULL, 0, ThreadEntry, t, 0, &id);
  if (t->handle == NULL) {
    delete t;
    return nullptr;
  }
  return t;
}

int ThreadWait(Thread* thread, uint32_t timeout_ms) {
  return WaitForSingleObject(thread->handle, timeout_ms) == WAIT_OBJECT_0 ? 1 : 0;
}

void ThreadJoin(Thread* thread) {
  WaitForSingleObject(thread->handle, INFINITE);
  CloseHandle(thread->handle);
  delete thread;
}

uint32_t TickCount() { return GetTickCount(); }
void SleepMs(uint32_t ms) { Sleep(ms); }

// Bits 8-9 of the x87 control word choose the precision: 10 is 53 bits.
void UseDoublePrecision() {
  unsigned short control;
  __asm__ volatile("fnstcw %0" : "=m"(control));
  control = static_cast<unsigned short>((control & ~0x0300u) | 0x0200u);
  __asm__ volatile("fldcw %0" : : "m"(control));
}
