// The card engine's state as at program start, for tests, fuzzers and tools.
#ifndef KELVADO_ENGINE_ENGINE_RESET_H
#define KELVADO_ENGINE_ENGINE_RESET_H

// Puts the switches (ChkDataArea 1, Fat32Enabled 0), the geometry, the new partition and its
// serial, the bad cluster and partition lists, the abort request and the report back to their
// start values (no report registered). Leaves the driver library as it is (AspiUnload releases
// it). Main thread only, with no worker running.
void ResetEngine();

#endif
