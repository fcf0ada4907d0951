// The engine's report as the wizard's dialogs show it: the copy dialog shows each drive figure in
// its own text, and an engine error is the main window's "Kelvado Error" box.
#include <gtest/gtest.h>

#include <string>

#include "aspi/aspi.h"
#include "engine/drive_info.h"
#include "engine/engine_hooks.h"
#include "engine/engine_reset.h"
#include "engine/engine_report.h"
#include "engine/errors.h"
#include "engine/file_copy.h"
#include "interp/exec.h"
#include "platform/files.h"
#include "platform/files_native.h"
#include "platform/text.h"
#include "platform/window.h"
#include "platform/window_native.h"
#include "services/services_reset.h"
#include "wizard/dialog_report.h"
#include "wizard/dialogs.h"
#include "wizard/start_dialog.h"

namespace {

// The wizard's layers and those below it, as the program starts them.
void ResetWizardLayers() {
  ResetTargetIdentity();
  ResetInterpreter();
  ResetEngine();
  ResetServices();
  ResetWizard();
}

NativeDrive Fixed(char letter, uint32_t serial, const char* label, uint32_t total_clusters) {
  NativeDrive drive{};
  drive.letter = letter;
  drive.folder = "/nonexistent";
  drive.type = kDriveFixed;
  drive.serial = serial;
  drive.label = label;
  drive.file_system = "FAT32";
  drive.sectors_per_cluster = 8;
  drive.bytes_per_sector = 512;
  drive.total_clusters = total_clusters;
  drive.free_clusters = total_clusters / 2;
  return drive;
}

TEST(DialogReport, CopyDialogShowsEachDriveFigureInItsOwnText) {
  ResetWizardLayers();
  NativeDrivesClear();
  NativeDriveAdd(Fixed('C', 0x3C1A2B4Du, "WIN98", 250000));
  NativeDriveAdd(Fixed('E', 0x00000001u, "", 100000));
  GetOsVersionText();
  TextCopy(TargetRoot, sizeof TargetRoot, "E:\\");
  DialogTextHandler = [](void* dialog, int32_t id, const char* text) {
    NativeDialogSetText(static_cast<NativeDialog*>(dialog), id, text);
  };
  NativeDialog* dialog = NativeDialogCreate(DialogIndex("DLG_START_KELVADO"));
  CopyStart(dialog);
  auto text = [dialog](int32_t id) { return std::string(NativeDialogText(dialog, id)); };
  EXPECT_EQ(text(IDC_SOURCE_OS), std::string(OsName) + "\n" + OsVersionText);
  EXPECT_EQ(text(IDC_SOURCE_TYPE), "固定ﾄﾞﾗｲﾌﾞ");
  EXPECT_EQ(text(IDC_SOURCE_SPACE), "8\n512\n 512000000\n1024000000");
  EXPECT_EQ(text(IDC_SOURCE_VOLUME), "WIN98\n3C1A2B4D\nFAT32");
  EXPECT_EQ(text(IDC_TARGET_ROOT), "E:\\");
  EXPECT_EQ(text(IDC_TARGET_TYPE), "固定ﾄﾞﾗｲﾌﾞ");
  EXPECT_EQ(text(IDC_TARGET_SPACE), "8\n512\n 204800000\n 409600000");
  EXPECT_EQ(text(IDC_TARGET_VOLUME), "\n1\nFAT32");
  EXPECT_EQ(text(IDC_COPY_SOURCE), "");
  EXPECT_EQ(text(IDC_COPY_TARGET), "");

  // Once the dialog has ended the engine reports to no dialog.
  UnregisterEngineControls();
  ReportCopyNames("a", "E:\\a");
  EXPECT_EQ(text(IDC_COPY_SOURCE), "");
  NativeDialogDestroy(dialog);
  DialogTextHandler = nullptr;
  NativeDrivesClear();
  ResetWizardLayers();
}

bool box_owned;
std::string box_text, box_caption;
uint32_t box_style;

int32_t RecordBox(bool owned, const char* text, const char* caption, uint32_t style) {
  box_owned = owned;
  box_text = text;
  box_caption = caption;
  box_style = style;
  return kIdOk;
}

TEST(ShowEngineError, OwnedOkBoxCaptionedKelvadoError) {
  MessageBoxHandler = RecordBox;
  EXPECT_EQ(ShowEngineError(604), kIdOk);
  MessageBoxHandler = nullptr;
  EXPECT_TRUE(box_owned);
  EXPECT_EQ(box_text, ErrorText(604));
  EXPECT_EQ(box_caption, "Kelvado Error");
  EXPECT_EQ(box_style, kMbOk);
}

}  // namespace
