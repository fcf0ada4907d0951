// The commands that prepare the transfer: GetOsVersion refuses systems the tool does not serve,
// SetKillCardSrvDlg switches the PC Card service's dialog off and on, SetNewVolSerial and
// SetChkDataArea set the two options the transfer reads later, SetHostAdapter chooses the host
// adapter and InitAdapter brings up the device access. Failures the user must see are shown in
// the "Kelvado Error" box and reach the script only through the result variable.
#ifndef KELVADO_WIZARD_ADAPTER_COMMANDS_H
#define KELVADO_WIZARD_ADAPTER_COMMANDS_H

#include <cstdint>

// 1: the copied card gets a freshly made volume serial; 0 (at start): the source drive's.
extern int32_t UseNewVolSerial;
// The last value given to SetKillCardSrvDlg (0 at start).
extern int32_t KillCardSrvDlg;

int32_t FuncGetOsVersion(char* args);
int32_t FuncSetKillCardSrvDlg(char* args);
int32_t FuncSetNewVolSerial(char* args);
int32_t FuncSetChkDataArea(char* args);
int32_t FuncSetHostAdapter(char* args);
int32_t FuncInitAdapter(char* args);

#endif
