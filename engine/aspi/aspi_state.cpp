// The engine-wide state of the device layer.
#include "engine/aspi/aspi.h"

char HostAdapterName[32] = "";
char TargetDeviceName[32] = "";
uint32_t TargetCapacity = 0;
int32_t AdapterNumber = -1;
int32_t HostAdapterCount = -1;

void ResetTargetIdentity() {
  HostAdapterName[0] = TargetDeviceName[0] = '\0';
  TargetCapacity = 0;
  AdapterNumber = -1;
}
