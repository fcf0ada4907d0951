#include "wizard/adapter_commands.h"

#include <cstring>

#include "aspi/aspi.h"
#include "engine/drive_info.h"
#include "engine/errors.h"
#include "engine/system_area.h"
#include "interp/arguments.h"
#include "interp/script_error.h"
#include "platform/os.h"
#include "platform/text.h"
#include "platform/window.h"
#include "wizard/dialog_report.h"

int32_t UseNewVolSerial = 0;
int32_t KillCardSrvDlg = 0;

// The PC Card service reads this value: 1 keeps its dialog from coming up while the card is
// pulled and put back.
static const char kSysTrayKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\SysTray";

// One switch argument, 0 or 1, into *value: 0, or -1 (any other value, with the command's
// argument message) and the parser's own results.
static int32_t ReadSwitch(const char* handler, char* args, int32_t* value) {
  char whole[1024] = "";
  if (args != nullptr) TextCopy(whole, sizeof whole, args);
  int32_t* given;
  int32_t result = ReadArguments(handler, args, NewVar(&given));
  if (result < 0) return result;
  if (*given != 0 && *given != 1) {
    ScriptErrorSet("%s の引数が間違っています(%s)", handler, whole);
    return -1;
  }
  *value = *given;
  return 0;
}

int32_t FuncGetOsVersion(char* args) {
  int32_t result = RejectArguments("FuncGetOsVersion", args);
  if (result < 0) return result;
  int32_t code = GetOsVersionText();
  if (code != 0) {
    ShowEngineError(code);
    // The lines after this one in the section still run; the program ends in the message loop.
    PostClose();
  }
  return 0;
}

int32_t FuncSetKillCardSrvDlg(char* args) {
  int32_t value;
  int32_t result = ReadSwitch("FuncSetKillCardSrvDlg", args, &value);
  if (result < 0) return result;
  KillCardSrvDlg = value;
  // Only where the key exists: a system without the PC Card service gets no key of it.
  RegistrySetDwordOfExistingKey(kSysTrayKey, "PCMCIAFlags", value == 1 ? 1 : 0);
  return 0;
}

int32_t FuncSetNewVolSerial(char* args) {
  return ReadSwitch("FuncSetNewVolSerial", args, &UseNewVolSerial);
}

int32_t FuncSetChkDataArea(char* args) {
  return ReadSwitch("FuncSetChkDataArea", args, &ChkDataArea);
}

// A name longer than HostAdapterName holds could only match an adapter by its cut prefix; it is
// refused as a wrong argument.
int32_t FuncSetHostAdapter(char* args) {
  char whole[1024] = "";
  if (args != nullptr) TextCopy(whole, sizeof whole, args);
  char* name;
  int32_t result = ReadArguments("FuncSetHostAdapter", args, Value(&name));
  if (result < 0) return result;
  if (std::strlen(name) >= sizeof HostAdapterName) {
    ScriptErrorSet("FuncSetHostAdapter の引数が間違っています(%s)", whole);
    return -1;
  }
  TextCopy(HostAdapterName, sizeof HostAdapterName, name);
  return 0;
}

// The result is stored before a failure's box opens: the box's own message loop may run other
// work of the main window while it waits.
static int32_t AdapterFailed(int32_t* result, int32_t code) {
  *result = -1;
  ShowEngineError(code);
  return 0;
}

int32_t FuncInitAdapter(char* args) {
  int32_t* result;
  int32_t parsed = ReadArguments("FuncInitAdapter", args, NewVar(&result));
  if (parsed < 0) return parsed;
  int32_t code = AspiLoad();
  if (code != 0) return AdapterFailed(result, code);
  if (HostAdapterName[0] == '\0') TextCopy(HostAdapterName, sizeof HostAdapterName, "njata95");
  if (FindHostAdapter() == 0) return AdapterFailed(result, kErrNoCard);
  char name[32] = "";
  code = DevInquiry(AdapterNumber, 0, 0, name, sizeof name);
  if (code != 0) return AdapterFailed(result, code);
  TextCopy(TargetDeviceName, sizeof TargetDeviceName, name);
  code = ReadCapacity(AdapterNumber, 0);
  if (code != 0) return AdapterFailed(result, code);
  *result = 1;
  return 0;
}
