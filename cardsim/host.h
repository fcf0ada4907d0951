// What the emulator needs from the system it runs on: the Win32 kernel inside WNASPI32.DLL
// (host_win32.cpp), the C++ library natively (host_native.cpp).
#ifndef KELVADO_CARDSIM_HOST_H
#define KELVADO_CARDSIM_HOST_H

#include <cstddef>
#include <cstdint>

// Copies environment variable `name` into `value` (cut to `size` bytes, at least 1): false when it
// is unset.
bool HostGetEnv(const char* name, char* value, size_t size);
// Reports a problem of the configuration or of the image on standard error.
void HostReport(const char* message);

// The image file, read and written at byte offsets.
struct ImageFile;
// Opens for reading and writing, or for reading only (then *read_only is set); null on failure.
ImageFile* ImageOpen(const char* path, bool* read_only);
void ImageClose(ImageFile* image);
uint64_t ImageSize(ImageFile* image);
bool ImageRead(ImageFile* image, uint64_t offset, void* data, uint32_t length);
bool ImageWrite(ImageFile* image, uint64_t offset, const void* data, uint32_t length);

// Replaces file `name` of `folder` with `text`: false when it cannot be written.
bool HostWriteFile(const char* folder, const char* name, const char* text);
// Plays the card being taken out and put back for the system: drive `letter` (whose files are
// `folder`) is removed and defined again, so that the system reads its volume serial anew. Under
// Wine through the mount manager, as winecfg defines drives; natively nothing is cached, so there is
// nothing to do. false when the system refused.
bool HostRemountVolume(char letter, const char* folder);

// Signals the event a request names in SRB_PostProc: a Win32 event handle in the DLL, an Event of
// platform/threads.h natively.
void HostSignalEvent(void* handle);
// Raises an exception out of GetASPI32SupportInfo: a structured exception in the DLL, a C++
// exception natively.
[[noreturn]] void HostRaiseException();
// Keeps the emulator's code in memory for the life of the process, before its worker thread
// starts (the DLL pins itself; natively nothing to do).
void HostKeepLoaded();

#endif
