#include "engine/engine_report.h"

#include "engine/engine_hooks.h"

const EngineReport* RegisteredReport = nullptr;

// What the bar of the current phase shows, so that unchanged positions are not reported again.
static uint32_t phase_length = 0;
static uint32_t last_position = 0;

void StatusSetText(const char* text) {
  WorkerHoldPoint();
  const EngineReport* report = RegisteredReport;
  if (report != nullptr && report->status != nullptr) report->status(report->context, text);
}

void ProgressSetRange(uint32_t maximum) {
  const EngineReport* report = RegisteredReport;
  if (report != nullptr && report->progress_range != nullptr)
    report->progress_range(report->context, maximum & 0xFFFFu);
}

void ProgressSetPos(uint32_t position) {
  WorkerHoldPoint();
  const EngineReport* report = RegisteredReport;
  if (report != nullptr && report->progress_position != nullptr)
    report->progress_position(report->context, position);
}

void ProgressSetStep(uint32_t step) {
  const EngineReport* report = RegisteredReport;
  if (report != nullptr && report->progress_step != nullptr)
    report->progress_step(report->context, step);
}

void ProgressStepIt() {
  const EngineReport* report = RegisteredReport;
  if (report != nullptr && report->progress_step_it != nullptr)
    report->progress_step_it(report->context);
}

void ProgressPhase(const char* status, uint32_t length) {
  StatusSetText(status);
  ProgressSetPos(0);
  ProgressSetRange(length);
  phase_length = length;
  last_position = 0;
}

void ProgressAdvance(uint32_t position) {
  if (position == last_position) return;
  last_position = position;
  ProgressSetPos(position);
}

void ProgressPhaseDone() {
  last_position = phase_length;
  ProgressSetPos(phase_length);
}

void ReportDriveFigure(DriveFigure figure, const char* text) {
  const EngineReport* report = RegisteredReport;
  if (report != nullptr && report->drive_figure != nullptr)
    report->drive_figure(report->context, figure, text);
}

void ReportCopyNames(const char* source, const char* target) {
  const EngineReport* report = RegisteredReport;
  if (report != nullptr && report->copy_names != nullptr)
    report->copy_names(report->context, source, target);
}

int32_t ReportEngineError(int32_t code) {
  const EngineReport* report = RegisteredReport;
  if (report == nullptr || report->error == nullptr) return 0;
  return report->error(report->context, code);
}
