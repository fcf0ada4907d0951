// A folder of the host as the source of a card: names as Linux keeps them (UTF-8), the DOS
// attributes Wine and Samba record in the extended attribute user.DOSATTRIB, read-only also from
// the file's mode, and the times of the file.
#ifndef KELVADO_TOOLS_FOLDER_SOURCE_H
#define KELVADO_TOOLS_FOLDER_SOURCE_H

#include <cstdint>
#include <string>
#include <vector>

#include "fat/tree.h"

// The DOS attributes in a user.DOSATTRIB value: hexadecimal text ("0x22", as Wine writes it;
// Samba adds a NUL and more after it). False when the value holds no such number.
bool ParseDosAttrib(const std::string& value, uint8_t* attributes);

// The folder's own files holding the volume serial and the label of the drive it stands for
// (Wine's drives).
extern const char kWindowsSerialFile[];
extern const char kWindowsLabelFile[];

class FolderSource : public TreeSource {
 public:
  ~FolderSource() override;
  // Reads the tree under `root`: each directory's files in name order, then its folders. An
  // entry that cannot go onto a card (a name that is not UTF-8 or cannot be written in
  // Shift-JIS, a name Windows does not allow, a path longer than Windows reaches, a symbolic
  // link or a special file, a folder that cannot be listed) is left out and listed in `left_out`
  // as "PATH: why". The root's .windows-serial and .windows-label are not part of the tree; the
  // label (UTF-8, its trailing line end and blanks dropped) becomes the tree's label as Windows
  // writes it (MakeLabel), or, when it cannot be one, a note. False when `root` is no folder that
  // can be listed.
  bool Read(const std::string& root, TreeNode* tree, std::vector<std::string>* left_out,
            std::string* error);
  // The serial in the root's .windows-serial (Wine's record of the drive's volume serial).
  bool Serial(uint32_t* serial) const;
  // What Read passed over otherwise than as left out, as "PATH: what (why)".
  const std::vector<std::string>& notes() const { return notes_; }

  bool ReadFile(const TreeNode& file, uint64_t offset, uint8_t* buffer, size_t length,
                std::string* error) override;

 private:
  bool ReadDirectory(const std::string& host, const std::string& path, size_t sjis_length,
                     int depth, TreeNode* dir, std::vector<std::string>* left_out);
  void ReadLabel(TreeNode* tree);
  std::string root_;
  std::vector<std::string> notes_;
  std::string open_path_;
  int open_fd_ = -1;
};

#endif
