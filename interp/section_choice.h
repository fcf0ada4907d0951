// Which section runs next, and the sections that the script arms for later events.
//
// The hand-over state (NextSection, ResumeLine, ResumePending and the section names below) is
// private to section_choice.cpp and reached only through these functions, each of which holds
// one lock for its whole access. The interpreter runs on the main window's thread, but the
// watcher of a started program chooses EndSection from a thread of its own (ChooseEventSection),
// so no thread ever reads a half-written name or a line index of another choice. Tests and
// tools read the state through GetSectionName, CurrentResumeLine and IsResumePending.
#ifndef KELVADO_INTERP_SECTION_CHOICE_H
#define KELVADO_INTERP_SECTION_CHOICE_H

#include <cstdint>

enum SectionField {
  kNextSection,  // the section that the next NEWONE runs
  // The event sections, emptied together when one of them is taken.
  kTouchSection,
  kCoinSection,
  kEndSection,
  kVGAToFmEndSection,
  // Where StartDialog goes on when its dialog ends with OK or with Cancel.
  kTrueSection,
  kFalseSection,
  // Set by their commands and read by nothing.
  kDiagNextSection,
  kErrorNextSection,
  kOkNextSection,
  kSectionFieldCount
};

// A copy of one section name (at most 255 bytes and a terminator).
struct SectionName {
  char text[256];
};

// Stores a section name into one of the fields (cut to 255 bytes).
void SetSectionName(SectionField field, const char* name);
// A copy of one field, taken under the lock.
SectionName GetSectionName(SectionField field);
// The 0-based line of NextSection where the next NEWONE run starts.
int32_t CurrentResumeLine();
// While set, every tick posts NEWONE.
bool IsResumePending();

// A command chose the next section: NextSection := name, and NEWONE is posted.
void ChooseSection(const char* name);
// The same with a stored name (StartDialog: kTrueSection or kFalseSection), copied under the lock.
void ChooseStoredSection(SectionField field);
// A click on a bitmap button: NextSection := section from line 0; the next tick starts it.
void ChooseButtonSection(const char* section);
// An event section (Touch, Coin, End): when it is set, NextSection := it from line 0, the event
// sections are emptied, and the run is started by the next tick (`post` false: clicks) or by a
// NEWONE posted now (`post` true: media end, end of a started program). Safe from any thread.
bool ChooseEventSection(SectionField event_section, bool post);
// The tick: while a run is suspended or scheduled (ResumePending), NEWONE is posted.
void ResumeAtTick();
// Window creation runs START from line 0 and leaves ResumeLine at 0 again.
void RewindResumeLine();

// NEWONE: takes the section and line to run; false when no run has been asked for since the
// last one began (a second NEWONE for the same choice, or a stray one), which is then ignored.
struct RunTicket {
  char section[256];
  int32_t line;
  uint32_t choices;  // sections chosen from outside a run so far
};
bool TakeNextRun(RunTicket* ticket);
// After the run: a result of 2 suspends on the ticket's line, a negative one only stops the
// ticks (the program is closing), anything else ends the run. When an event chose another
// section while the run went on, that choice stands instead.
void FinishRun(const RunTicket& ticket, int32_t result);
// START returned 2 at window creation: it is resumed like any suspended section.
void SuspendStart(const char* section, int32_t line);
// Empties every section name and forgets any pending run: the fresh state of program start.
void ResetSectionChoice();

#endif
