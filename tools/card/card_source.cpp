#include "tools/card/card_source.h"

#include <cerrno>
#include <cstring>

#include "fat/volume.h"
#include "tools/card/folder_source.h"

bool ReadCardSource(const char* path, CardSource* s, std::string* error) {
  s->facts = Storage.path(path);
  switch (s->facts.kind) {
    case PathFacts::kMissing:
      *error = std::string(path) + ": " + std::strerror(ENOENT);
      return false;
    case PathFacts::kOther:
      *error = std::string(path) + " is " + s->facts.what +
               "; a source is a folder, an image file or a disk";
      return false;
    case PathFacts::kFolder: {
      auto folder = std::make_unique<FolderSource>();
      if (!folder->Read(path, &s->tree, &s->left_out, error)) {
        *error = std::string(path) + ": " + *error;
        return false;
      }
      s->has_serial = folder->Serial(&s->serial);
      s->notes = folder->notes();
      s->bytes = std::move(folder);
      return true;
    }
    case PathFacts::kFile:
    case PathFacts::kBlockDevice:
      break;
  }
  s->image = std::make_unique<FileBytes>();
  FatLayout layout;
  auto volume = std::make_unique<FatVolume>();
  if (!s->image->Open(path, error) || !FindFatVolume(s->image.get(), &layout, &s->where, error) ||
      !volume->Open(s->image.get(), layout, error) || !volume->ReadTree(&s->tree, error)) {
    *error = std::string(path) + ": " + *error;
    return false;
  }
  s->fat = layout.fat_bits;
  s->serial = layout.serial;
  s->has_serial = true;
  s->notes = volume->notes();
  s->bytes = std::move(volume);
  return true;
}
