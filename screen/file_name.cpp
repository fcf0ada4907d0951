#include "screen/file_name.h"

#include <cstring>

bool BuildFileName(char (&path)[kFileNameSize], const char* prefix, const char* name) {
  size_t prefix_length = std::strlen(prefix);
  size_t name_length = std::strlen(name);
  if (prefix_length + name_length >= kFileNameSize) return false;
  std::memcpy(path, prefix, prefix_length);
  std::memcpy(path + prefix_length, name, name_length + 1);
  return true;
}
