#include <cstdio>

#include "system/file_read.h"

// The ReadableFile pointer is the C library's FILE.
static FILE* Stream(ReadableFile* file) { return reinterpret_cast<FILE*>(file); }

ReadableFile* FileOpenRead(const char* path) { return reinterpret_cast<ReadableFile*>(std::fopen(path, "rb")); }

uint32_t FileLength(ReadableFile* file) {
  FILE* stream = Stream(file);
  long here = std::ftell(stream);
  if (here < 0 || std::fseek(stream, 0, SEEK_END) != 0) return 0;
  long end = std::ftell(stream);
  std::fseek(stream, here, SEEK_SET);
  if (end < 0) return 0;
  return static_cast<unsigned long>(end) > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<uint32_t>(end);
}

uint32_t FileRead(ReadableFile* file, void* bytes, uint32_t length) {
  return static_cast<uint32_t>(std::fread(bytes, 1, length, Stream(file)));
}

void FileClose(ReadableFile* file) { std::fclose(Stream(file)); }
