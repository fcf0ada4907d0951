#include "interp/section_choice.h"

#include "interp/text.h"
#include "system/threads.h"
#include "system/window_services.h"

char NextSection[256];
int32_t ResumeLine = 0;
bool ResumePending = false;
char TouchSection[256];
char CoinSection[256];
char EndSection[256];
char VGAToFmEndSection[256];
char TrueSection[256];
char FalseSection[256];
char DiagNextSection[256];
char ErrorNextSection[256];
char OkNextSection[256];

static Lock* const section_lock = LockCreate();
// Set whenever NEWONE is posted through these functions, cleared when a run begins.
static bool run_requested = false;
// Counts the sections chosen from outside a run (clicks, media end, program end).
static uint32_t outside_choices = 0;

namespace {
struct Hold {
  Hold() { LockEnter(section_lock); }
  ~Hold() { LockLeave(section_lock); }
};
}  // namespace

static void CopyName(char* field, const char* name) { TextCopy(field, 256, name); }

void SetSectionName(char* field, const char* name) {
  Hold hold;
  CopyName(field, name);
}

void ChooseSection(const char* name) {
  {
    Hold hold;
    CopyName(NextSection, name);
    run_requested = true;
  }
  PostNewOne();
}

static void ChooseFromOutside(const char* name) {
  char chosen[256];
  CopyName(chosen, name);  // `name` may be one of the event sections cleared below
  CopyName(NextSection, chosen);
  ResumeLine = 0;
  ++outside_choices;
}

void ChooseButtonSection(const char* section) {
  {
    Hold hold;
    ChooseFromOutside(section);
  }
  ResumePending = true;
}

bool ChooseEventSection(char* event_section, bool post) {
  {
    Hold hold;
    if (event_section[0] == '\0') return false;
    ChooseFromOutside(event_section);
    TouchSection[0] = CoinSection[0] = EndSection[0] = VGAToFmEndSection[0] = '\0';
    if (post) run_requested = true;
  }
  if (post)
    PostNewOne();
  else
    ResumePending = true;
  return true;
}

void RequestNewOne() {
  {
    Hold hold;
    run_requested = true;
  }
  PostNewOne();
}

bool TakeNextRun(RunTicket* ticket) {
  Hold hold;
  if (!run_requested) return false;
  run_requested = false;
  CopyName(ticket->section, NextSection);
  ticket->line = ResumeLine;
  ticket->choices = outside_choices;
  return true;
}

void FinishRun(const RunTicket& ticket, int32_t result) {
  Hold hold;
  if (result < 0) {
    ResumePending = false;
    return;
  }
  if (outside_choices != ticket.choices) return;
  if (result == 2) {
    ResumeLine = ticket.line;
    ResumePending = true;
  } else {
    ResumeLine = 0;
    ResumePending = false;
  }
}

void ResetResumeLine() {
  Hold hold;
  ResumeLine = 0;
}

void SuspendStart(const char* section, int32_t line) {
  {
    Hold hold;
    CopyName(NextSection, section);
    ResumeLine = line;
  }
  ResumePending = true;
}

void ResetSectionChoice() {
  Hold hold;
  char* const fields[] = {NextSection,      TouchSection,     CoinSection,  EndSection,
                          VGAToFmEndSection, TrueSection,     FalseSection, DiagNextSection,
                          ErrorNextSection,  OkNextSection};
  for (char* field : fields) field[0] = '\0';
  ResumeLine = 0;
  ResumePending = false;
  run_requested = false;
}
