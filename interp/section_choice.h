// Which section runs next, and the sections that the script arms for later events.
//
// The interpreter runs on the main window's thread, but the watcher of a started program also
// chooses EndSection from a thread of its own. Every access to NextSection, ResumeLine and the
// event sections therefore goes through the functions below, which hold one lock, so that
// neither thread ever reads a half-written name. Tests and the tool read the globals directly,
// between runs, on the one thread that drives them.
#ifndef KELVADO_INTERP_SECTION_CHOICE_H
#define KELVADO_INTERP_SECTION_CHOICE_H

#include <cstdint>

extern char NextSection[256];  // the section that the next NEWONE runs
extern int32_t ResumeLine;     // 0-based index of its line where that run starts
extern bool ResumePending;     // while set, every tick posts NEWONE (main thread only)

// The event sections, emptied together when one of them is taken.
extern char TouchSection[256];
extern char CoinSection[256];
extern char EndSection[256];
extern char VGAToFmEndSection[256];
// Where StartDialog goes on when its dialog ends with OK or with Cancel.
extern char TrueSection[256];
extern char FalseSection[256];
// Set by their commands and read by nothing.
extern char DiagNextSection[256];
extern char ErrorNextSection[256];
extern char OkNextSection[256];

// Stores a section name into one of the fields above.
void SetSectionName(char* field, const char* name);

// A command chose the next section: NextSection := name, and NEWONE is posted.
void ChooseSection(const char* name);
// A click on a bitmap button: NextSection := section from line 0; the next tick starts it.
void ChooseButtonSection(const char* section);
// An event section (Touch, Coin, End): when it is set, NextSection := it from line 0, the event
// sections are emptied, and the run is started by the next tick (`post` false: clicks) or by a
// NEWONE posted now (`post` true: media end, end of a started program). Safe from any thread.
bool ChooseEventSection(char* event_section, bool post);
// The tick of a suspended or scheduled run posts NEWONE.
void RequestNewOne();

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
// Empties every section name and forgets any pending run (a fresh start, in tests and tools).
void ResetSectionChoice();
// Window creation: START runs from its first line, and ResumeLine is 0 before and after it (a
// watcher may already choose a section while START runs).
void ResetResumeLine();
// START returned 2 at window creation: it is resumed like any suspended section.
void SuspendStart(const char* section, int32_t line);

#endif
