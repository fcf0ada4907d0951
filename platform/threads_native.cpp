// Threads, locks and events on the standard library, for the native build.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/threads.h"

struct Lock {
  std::mutex mutex;
};

Lock* LockCreate() { return new Lock; }
void LockDestroy(Lock* lock) { delete lock; }
void LockEnter(Lock* lock) { lock->mutex.lock(); }
void LockLeave(Lock* lock) { lock->mutex.unlock(); }

struct Event {
  std::mutex mutex;
  std::condition_variable changed;
  bool manual_reset;
  bool signalled;
};

Event* EventCreate(bool manual_reset, bool signalled) {
  Event* event = new Event;
  event->manual_reset = manual_reset;
  event->signalled = signalled;
  return event;
}

void EventDestroy(Event* event) { delete event; }

void EventSet(Event* event) {
  std::lock_guard<std::mutex> hold(event->mutex);
  event->signalled = true;
  if (event->manual_reset)
    event->changed.notify_all();
  else
    event->changed.notify_one();
}

void EventReset(Event* event) {
  std::lock_guard<std::mutex> hold(event->mutex);
  event->signalled = false;
}

int EventWait(Event* event, uint32_t timeout_ms) {
  std::unique_lock<std::mutex> hold(event->mutex);
  auto is_set = [event] { return event->signalled; };
  if (timeout_ms == kWaitForever)
    event->changed.wait(hold, is_set);
  else if (!event->changed.wait_for(hold, std::chrono::milliseconds(timeout_ms), is_set))
    return 0;
  if (!event->manual_reset) event->signalled = false;
  return 1;
}

void* EventNativeHandle(Event* event) { return event; }

struct Thread {
  std::thread thread;
  Event* ended;
};

Thread* ThreadStart(ThreadFunction fn, void* arg) {
  Thread* t = new Thread;
  t->ended = EventCreate(true, false);
  Event* ended = t->ended;
  t->thread = std::thread([fn, arg, ended] {
    fn(arg);
    EventSet(ended);
  });
  return t;
}

int ThreadWait(Thread* thread, uint32_t timeout_ms) { return EventWait(thread->ended, timeout_ms); }

void ThreadJoin(Thread* thread) {
  thread->thread.join();
  EventDestroy(thread->ended);
  delete thread;
}

uint32_t TickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The native build computes doubles in SSE registers, which round to 53 bits already.
void UseDoublePrecision() {}
