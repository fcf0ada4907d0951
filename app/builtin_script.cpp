#include "app/builtin_script.h"

// The script of the program, line 1 first, exactly as it is written (blanks after commas
// included; cleaning removes them).
static const char* const kLines[] = {
    "[START]",                                       // 1
    "SetLogDir1,\"c:\\data1\\log1\\\"",              // 2
    "Goto,\"INIT_DATA\"",                            // 3
    "[INIT_DATA]",                                   // 4
    "IValSet,ARROW_CURSOR, 32512",                   // 5
    "IValSet,WAIT_CURSOR, 32514",                    // 6
    "IValSet,CROSS_CURSOR, 32515",                   // 7
    "IValSet,NO_CURSOR, 0",                          // 8
    "MouseCursor,ARROW_CURSOR",                      // 9
    "IValSet,FALSE, 0",                              // 10
    "IValSet,TRUE, 1",                               // 11
    "Goto,\"INIT_DATA_B\"",                          // 12
    "[INIT_DATA_B]",                                 // 13
    "StrSet,H_Gothic,\"標準ゴシック\"",                    // 14
    "StrSet,H_Minchou,\"標準明朝\"",                     // 15
    "StrSet,TimesNewRoman,\"Times New Roman\"",      // 16
    "StrSet,ArialBold,\"Arial Bold\"",               // 17
    "StrSet,CourierNew,\"Courier New\"",             // 18
    "StrSet,NameFont,\"Comic Sans MS Bold\"",        // 19
    "Goto,\"INIT_ADAPTER\"",                         // 20
    "[INIT_ADAPTER]",                                // 21
    "SetHostAdapter,\"njata95\"",                    // 22
    "SetNewVolSerial,TRUE",                          // 23
    "SetChkDataArea,FALSE",                          // 24
    "SetKillCardSrvDlg,TRUE",                        // 25
    "GetOsVersion",                                  // 26
    "InitAdapter,RETVAL",                            // 27
    "If,RETVAL,\"!=\",1,\"EXIT_PROGRAM\"",           // 28
    "DspUpdateWindow",                               // 29
    "Goto,\"OPENING_DLG1\"",                         // 30
    "[OPENING_DLG1]",                                // 31
    "SetTrueSection,\"CHECK_TARGET_DRIVE\"",         // 32
    "SetFalseSection,\"EXIT_PROGRAM\"",              // 33
    "StartDialog,\"DLG_OPENING_1\"",                 // 34
    "[CHECK_TARGET_DRIVE]",                          // 35
    "SetTrueSection,\"CHK_FILE_EXIST\"",             // 36
    "SetFalseSection,\"EXIT_PROGRAM\"",              // 37
    "StartDialog,\"DLG_CHK_TARGET_DRIVE\"",          // 38
    "[CHK_FILE_EXIST]",                              // 39
    "TgetDrvFileExist,RETVAL",                       // 40
    "If,RETVAL,\"!=\",1,\"EXIT_PROGRAM\"",           // 41
    "Goto,\"MAKE_PARTITION_TARGET_DRIVE\"",          // 42
    "[MAKE_PARTITION_TARGET_DRIVE]",                 // 43
    "SetTrueSection,\"CRAD_INIT\"",                  // 44
    "SetFalseSection,\"FALSE_END_DIALOG\"",          // 45
    "StartDialog,\"DLG_MAKE_PARTITION_TGETDRV\"",    // 46
    "[CRAD_INIT]",                                   // 47
    "SetTrueSection,\"START_KELVADO\"",              // 48
    "SetFalseSection,\"FALSE_END_DIALOG\"",          // 49
    "StartDialog,\"DLG_CARD_INIT\",RETVAL",          // 50
    "[START_KELVADO]",                               // 51
    "SetTrueSection,\"TRUE_END_DIALOG\"",            // 52
    "SetFalseSection,\"FALSE_END_DIALOG\"",          // 53
    "StartDialog,\"DLG_START_KELVADO\"",             // 54
    "[TRUE_END_DIALOG]",                             // 55
    "SetTrueSection,\"EXIT_PROGRAM\"",               // 56
    "SetFalseSection,\"EXIT_PROGRAM\"",              // 57
    "StartDialog,\"DLG_TRUE_END_PROGRAM\"",          // 58
    "[FALSE_END_DIALOG]",                            // 59
    "SetTrueSection,\"EXIT_PROGRAM\"",               // 60
    "SetFalseSection,\"EXIT_PROGRAM\"",              // 61
    "StartDialog,\"DLG_FALSE_END_PROGRAM\"",         // 62
    "[EXIT_PROGRAM]",                                // 63
    "DoClr",                                         // 64
    "SetKillCardSrvDlg,FALSE",                       // 65
    "ProgramExit",                                   // 66
};

const int32_t kBuiltInScriptLines = sizeof kLines / sizeof kLines[0];

const char* BuiltInScript(int32_t n) {
  if (n < 1 || n > kBuiltInScriptLines) return nullptr;
  return kLines[n - 1];
}
