// The directory settings: HomeDir, put in front of the file names of bitmaps, media and started
// programs; the AliasMap of named directories that AliasToHomeDir makes the home directory;
// LogDir1, where the dated debug and log files go. Paths are used exactly as given: a directory
// must end with "\" to serve as a prefix.
#ifndef KELVADO_SYSTEM_DIRECTORIES_H
#define KELVADO_SYSTEM_DIRECTORIES_H

#include <cstdint>

extern char HomeDir[256];
extern char LogDir1[256];

// The directory of an alias (exact bytes, case-sensitive), or nullptr when there is none.
const char* FindAlias(const char* alias);
// Adds an alias: 0, also when the alias exists (its first directory stays); -1 when memory
// runs out.
int32_t AddAlias(const char* alias, const char* directory);
// Forgets every alias (a fresh start, in tests).
void ClearAliasMap();

int32_t FuncSetHomeDir(char* args);
int32_t FuncSetAlias(char* args);
int32_t FuncAliasToHomeDir(char* args);
int32_t FuncSetLogDir1(char* args);

#endif
