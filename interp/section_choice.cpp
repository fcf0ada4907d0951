#include "interp/section_choice.h"

#include <initializer_list>

#include "interp/handler_result.h"
#include "platform/text.h"
#include "platform/threads.h"
#include "platform/window.h"

// The hand-over state. Main thread and watcher threads alike touch it only while holding
// section_lock; nothing outside this file can reach it.
static char section_names[kSectionFieldCount][256];
static int32_t resume_line = 0;
static bool resume_pending = false;
// Set whenever NEWONE is posted through these functions, cleared when a run begins.
static bool run_requested = false;
// Counts the sections chosen from outside a run (clicks, media end, program end).
static uint32_t outside_choices = 0;

static Lock* const section_lock = LockCreate();

static void CopyName(char* field, const char* name) { TextCopy(field, 256, name); }

void SetSectionName(SectionField field, const char* name) {
  LockHold hold(section_lock);
  CopyName(section_names[field], name);
}

SectionName GetSectionName(SectionField field) {
  LockHold hold(section_lock);
  SectionName copy;
  CopyName(copy.text, section_names[field]);
  return copy;
}

int32_t CurrentResumeLine() {
  LockHold hold(section_lock);
  return resume_line;
}

bool IsResumePending() {
  LockHold hold(section_lock);
  return resume_pending;
}

void ChooseSection(const char* name) {
  {
    LockHold hold(section_lock);
    CopyName(section_names[kNextSection], name);
    run_requested = true;
  }
  PostNewOne();
}

void ChooseStoredSection(SectionField field) {
  {
    LockHold hold(section_lock);
    char chosen[256];
    CopyName(chosen, section_names[field]);
    CopyName(section_names[kNextSection], chosen);
    run_requested = true;
  }
  PostNewOne();
}

// Under the lock: the section chosen by an event starts at its first line.
static void ChooseFromOutside(const char* name) {
  char chosen[256];
  CopyName(chosen, name);  // `name` may be one of the event sections cleared after this
  CopyName(section_names[kNextSection], chosen);
  resume_line = 0;
  ++outside_choices;
}

void ChooseButtonSection(const char* section) {
  LockHold hold(section_lock);
  ChooseFromOutside(section);
  resume_pending = true;
}

bool ChooseEventSection(SectionField event_section, bool post) {
  {
    LockHold hold(section_lock);
    if (section_names[event_section][0] == '\0') return false;
    ChooseFromOutside(section_names[event_section]);
    for (SectionField field : {kTouchSection, kCoinSection, kEndSection, kVGAToFmEndSection})
      section_names[field][0] = '\0';
    if (post)
      run_requested = true;
    else
      resume_pending = true;
  }
  if (post) PostNewOne();
  return true;
}

void ResumeAtTick() {
  {
    LockHold hold(section_lock);
    if (!resume_pending) return;
    run_requested = true;
  }
  PostNewOne();
}

void RewindResumeLine() {
  LockHold hold(section_lock);
  resume_line = 0;
}

bool TakeNextRun(RunTicket* ticket) {
  LockHold hold(section_lock);
  if (!run_requested) return false;
  run_requested = false;
  CopyName(ticket->section, section_names[kNextSection]);
  ticket->line = resume_line;
  ticket->choices = outside_choices;
  return true;
}

void FinishRun(const RunTicket& ticket, int32_t result) {
  LockHold hold(section_lock);
  if (result < 0) {
    resume_pending = false;
    return;
  }
  if (outside_choices != ticket.choices) return;
  if (result == kRunAgain) {
    resume_line = ticket.line;
    resume_pending = true;
  } else {
    resume_line = 0;
    resume_pending = false;
  }
}

void SuspendStart(const char* section, int32_t line) {
  LockHold hold(section_lock);
  CopyName(section_names[kNextSection], section);
  resume_line = line;
  resume_pending = true;
}

void ResetSectionChoice() {
  LockHold hold(section_lock);
  for (char* field : section_names) field[0] = '\0';
  resume_line = 0;
  resume_pending = false;
  run_requested = false;
  outside_choices = 0;
}
