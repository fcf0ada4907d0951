// The directory settings: HomeDir, put in front of the file names of bitmaps, media and started
// programs; the AliasMap of named directories that AliasToHomeDir makes the home directory;
// LogDir1, where the dated debug and log files go; and the full names of the files that commands
// open. Paths are used exactly as given: a directory must end with "\" to serve as a prefix.
#ifndef KELVADO_SERVICES_DIRECTORIES_H
#define KELVADO_SERVICES_DIRECTORIES_H

#include <cstddef>
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

// The full name of a file that a command opens: a directory prefix (HomeDir, or nothing) and the
// name the script gave, joined as they are, without a separator.

// The longest full name is one byte less: longer names are refused, never cut.
const size_t kFileNameSize = 256;

// prefix + name into `path`; false, with `path` untouched, when that takes kFileNameSize bytes
// or more.
bool BuildFileName(char (&path)[kFileNameSize], const char* prefix, const char* name);

#endif
