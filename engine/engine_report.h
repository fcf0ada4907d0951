// What the engine shows the person while it works: the status line, the progress bar, the figures
// of the two drives of the copy, the names being copied, and an error to show. The engine fills
// the texts (Shift-JIS) and speaks to the one registered report; the report decides how they are
// shown: the wizard's dialogs put them into their controls, kelvado-card's console writes the
// status and the bar on standard error, tests record them. Without a report nothing is shown.
#ifndef KELVADO_ENGINE_ENGINE_REPORT_H
#define KELVADO_ENGINE_ENGINE_REPORT_H

#include <cstdint>

// The texts of the drive figures, each by what it says; the lines are separated by \n.
enum DriveFigure {
  kFigureOs,             // the running system: its name, its version
  kFigureSourceType,     // the source drive's type (DriveTypeName)
  kFigureSourceSpace,    // the source drive: sectors a cluster, bytes a sector, free, total
  kFigureSourceVolume,   // the source drive: label, serial (8 digits), file system
  kFigureTargetRoot,     // the card drive's root, "E:\"
  kFigureTargetType,     // the card drive's type, its space and its volume as the source's
  kFigureTargetSpace,
  kFigureTargetVolume,   // the serial without leading zeros
  kDriveFigureCount
};

// A report: its context, handed back to every entry, and one entry for each thing shown. An entry
// left null shows nothing. The entries are called on the thread that runs the engine: in
// kelvado.exe a dialog's worker, which waits while the dialog's thread updates the control, or
// the dialog's own thread.
struct EngineReport {
  void* context;
  // The status line: the phase the engine is in.
  void (*status)(void* context, const char* text);
  // The progress bar: its range 0..maximum (below 65,536), its position, the size of a step, and
  // one step onward.
  void (*progress_range)(void* context, uint32_t maximum);
  void (*progress_position)(void* context, uint32_t position);
  void (*progress_step)(void* context, uint32_t step);
  void (*progress_step_it)(void* context);
  // One text of the drive figures.
  void (*drive_figure)(void* context, DriveFigure figure, const char* text);
  // The two lines of the copy: the name of the file being read and the path it is written to;
  // when the whole copy has ended, the text that says so and an empty line.
  void (*copy_names)(void* context, const char* source, const char* target);
  // The numbered error `code` (engine/errors.h) to show; blocks until the person has seen it and
  // returns the answer.
  int32_t (*error)(void* context, int32_t code);
};

// The report the engine speaks to, or none.
// Threads: registered and unregistered by the main thread while no worker runs; the worker only
// reads it.
extern const EngineReport* RegisteredReport;

// Writes `text` into the status line. Waits first while the WorkerGate is closed.
void StatusSetText(const char* text);

// The progress bar. Its range is 16-bit, as a progress control's: a range maximum is taken modulo
// 65,536. ProgressSetPos waits first while the WorkerGate is closed.
void ProgressSetRange(uint32_t maximum);
void ProgressSetPos(uint32_t position);
void ProgressSetStep(uint32_t step);
void ProgressStepIt();

// One phase of a long engine operation: its status text, then the bar reset to position 0 with the
// range 0..length. ProgressAdvance moves the bar as the work goes on, reporting only positions that
// differ from the last one reported; ProgressPhaseDone puts it at the end of the range.
void ProgressPhase(const char* status, uint32_t length);
void ProgressAdvance(uint32_t position);
void ProgressPhaseDone();

// One text of the drive figures.
void ReportDriveFigure(DriveFigure figure, const char* text);
// The two lines of the copy.
void ReportCopyNames(const char* source, const char* target);
// The numbered error `code` to show: the report's answer, or 0 when none shows it.
int32_t ReportEngineError(int32_t code);

#endif
