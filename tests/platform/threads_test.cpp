// The thread seam must behave as Win32 events, critical sections and threads do, because the
// same engine code runs on both implementations.
#include "platform/threads.h"

#include <gtest/gtest.h>

TEST(Event, ManualResetStaysSignalledUntilReset) {
  Event* event = EventCreate(true, false);
  EXPECT_EQ(EventWait(event, 0), 0);
  EventSet(event);
  EXPECT_EQ(EventWait(event, 0), 1);
  EXPECT_EQ(EventWait(event, 0), 1);
  EventReset(event);
  EXPECT_EQ(EventWait(event, 10), 0);
  EventDestroy(event);
}

TEST(Event, AutoResetReleasesOneWait) {
  Event* event = EventCreate(false, true);
  EXPECT_EQ(EventWait(event, 0), 1);
  EXPECT_EQ(EventWait(event, 0), 0);
  EventDestroy(event);
}

struct Handoff {
  Event* go;
  Event* done;
  int value;
};

static uint32_t AnswerWhenTold(void* arg) {
  Handoff* h = static_cast<Handoff*>(arg);
  EventWait(h->go, kWaitForever);
  h->value = 42;
  EventSet(h->done);
  return 0;
}

TEST(Thread, WaitsForSignalFromAnotherThread) {
  Handoff h{EventCreate(false, false), EventCreate(false, false), 0};
  Thread* t = ThreadStart(AnswerWhenTold, &h);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(ThreadWait(t, 20), 0);  // still waiting for go
  EventSet(h.go);
  EXPECT_EQ(EventWait(h.done, 5000), 1);
  EXPECT_EQ(h.value, 42);
  EXPECT_EQ(ThreadWait(t, 5000), 1);
  ThreadJoin(t);
  EventDestroy(h.go);
  EventDestroy(h.done);
}

struct Counter {
  Lock* lock;
  int count;
};

static uint32_t CountUp(void* arg) {
  Counter* c = static_cast<Counter*>(arg);
  for (int i = 0; i < 100000; ++i) {
    LockEnter(c->lock);
    ++c->count;
    LockLeave(c->lock);
  }
  return 0;
}

TEST(Lock, SerialisesTwoThreads) {
  Counter c{LockCreate(), 0};
  Thread* a = ThreadStart(CountUp, &c);
  Thread* b = ThreadStart(CountUp, &c);
  ThreadJoin(a);
  ThreadJoin(b);
  EXPECT_EQ(c.count, 200000);
  LockDestroy(c.lock);
}
