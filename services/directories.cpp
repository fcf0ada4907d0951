#include "services/directories.h"

#include <cstdlib>
#include <cstring>

#include "interp/arguments.h"
#include "interp/script_error.h"
#include "platform/text.h"

char HomeDir[256];
char LogDir1[256];

namespace {
struct Alias {
  char name[256];
  char directory[256];
};
}  // namespace

static Alias* aliases = nullptr;
static int32_t alias_count = 0;
static int32_t alias_capacity = 0;

const char* FindAlias(const char* alias) {
  for (int32_t i = 0; i < alias_count; ++i)
    if (std::strcmp(aliases[i].name, alias) == 0) return aliases[i].directory;
  return nullptr;
}

int32_t AddAlias(const char* alias, const char* directory) {
  if (FindAlias(alias) != nullptr) return kGoOn;
  if (alias_count == alias_capacity) {
    int32_t capacity = alias_capacity == 0 ? 8 : alias_capacity * 2;
    void* grown = std::realloc(aliases, sizeof(Alias) * static_cast<size_t>(capacity));
    if (grown == nullptr) return kFailed;
    aliases = static_cast<Alias*>(grown);
    alias_capacity = capacity;
  }
  Alias& entry = aliases[alias_count++];
  TextCopy(entry.name, sizeof entry.name, alias);
  TextCopy(entry.directory, sizeof entry.directory, directory);
  return kGoOn;
}

void ClearAliasMap() {
  std::free(aliases);
  aliases = nullptr;
  alias_count = alias_capacity = 0;
}

static int32_t StorePath(const char* handler, char* args, char* field) {
  char* path;
  int32_t result = ReadArguments(handler, args, Value(&path));
  if (result < 0) return result;
  TextCopy(field, 256, path);
  return kGoOn;
}

int32_t FuncSetHomeDir(char* args) { return StorePath("FuncSetHomeDir", args, HomeDir); }

int32_t FuncSetLogDir1(char* args) { return StorePath("FuncSetLogDir1", args, LogDir1); }

int32_t FuncSetAlias(char* args) {
  char *alias, *directory;
  int32_t result = ReadArguments("FuncSetAlias", args, Value(&alias), Value(&directory));
  if (result < 0) return result;
  return AddAlias(alias, directory);
}

int32_t FuncAliasToHomeDir(char* args) {
  char* alias;
  int32_t result = ReadArguments("FuncAliasToHomeDir", args, Value(&alias));
  if (result < 0) return result;
  const char* directory = FindAlias(alias);
  if (directory == nullptr) {
    ScriptErrorSet("FuncSetAlias で指定したalias(%s)が存在しません", alias);
    return kFailed;
  }
  TextCopy(HomeDir, sizeof HomeDir, directory);
  return kGoOn;
}

bool BuildFileName(char (&path)[kFileNameSize], const char* prefix, const char* name) {
  size_t prefix_length = std::strlen(prefix);
  size_t name_length = std::strlen(name);
  if (prefix_length + name_length >= kFileNameSize) return false;
  std::memcpy(path, prefix, prefix_length);
  std::memcpy(path + prefix_length, name, name_length + 1);
  return true;
}
