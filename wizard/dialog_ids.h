// The ids of the wizard's dialogs' controls and pictures, shared by the dialog templates
// (wizard/dialogs_win32.rc) and the dialogs' reactions. Plain numbers, so that the resource
// compiler reads them too. A button's id is also what its dialog ends with.
#ifndef KELVADO_WIZARD_DIALOG_IDS_H
#define KELVADO_WIZARD_DIALOG_IDS_H

// Buttons. ｷｬﾝｾﾙ is the system's IDCANCEL.
#define IDC_NEXT 1000           /* 次へ>> */
#define IDC_CANCEL_BUTTON 2     /* ｷｬﾝｾﾙ, 後でシャットダウン, 確認 */
#define IDC_START 1004          /* 開始, コピー開始 */
#define IDC_INTERRUPT 1021      /* 中断 */
#define IDC_SHUT_DOWN_NOW 1020  /* 今すぐシャットダウン */

// The progress bar and the texts the reactions write.
#define IDC_PROGRESS 1003
#define IDC_OPENING_TEXT 1001
#define IDC_TARGET_INFO_TEXT 1002
#define IDC_CHECK_TEXT 1005
#define IDC_PARTITION_TEXT 1006
#define IDC_STATUS_TEXT 1007
#define IDC_CARD_INIT_TEXT 1008
#define IDC_COPY_MESSAGE 1023
#define IDC_TRUE_END_TEXT 1019
#define IDC_FALSE_END_TEXT 1022

// The copy dialog's texts that show what the engine reports: the drive figures and the file being
// copied (wizard/dialog_report.cpp writes them).
#define IDC_SOURCE_LABELS 1009
#define IDC_SOURCE_OS 1010
#define IDC_SOURCE_TYPE 1011
#define IDC_SOURCE_SPACE 1012
#define IDC_SOURCE_VOLUME 1013
#define IDC_TARGET_ROOT 1014
#define IDC_TARGET_TYPE 1015
#define IDC_TARGET_SPACE 1016
#define IDC_TARGET_VOLUME 1017
#define IDC_COPY_SOURCE 1018
#define IDC_COPY_TARGET 1019

// The pictures of the opening and copy dialogs (drawn by wizard/draw_bitmaps.py).
#define IDB_OPENING 127
#define IDB_COPY 123

#endif
