// A host folder read as a card's source: directories, stat, extended attributes, local time.
#include "tools/card/folder_source.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "fat/dir_entry.h"
#include "fat/names.h"
#include "platform/text.h"

const char kWindowsSerialFile[] = ".windows-serial";
const char kWindowsLabelFile[] = ".windows-label";

namespace {

const char kDosAttribName[] = "user.DOSATTRIB";
// "C:\" and a path must stay within the 259 bytes Windows 95/98 reaches.
const size_t kMaxSjisPath = 255;

// Strict UTF-8 to UTF-16: false for a byte sequence that is no UTF-8.
bool Utf16FromUtf8(const std::string& in, std::u16string* out) {
  out->clear();
  for (size_t i = 0; i < in.size();) {
    uint8_t b = static_cast<uint8_t>(in[i]);
    uint32_t c;
    size_t extra;
    if (b < 0x80) {
      c = b;
      extra = 0;
    } else if (b >= 0xC2 && b <= 0xDF) {
      c = b & 0x1F;
      extra = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      c = b & 0x0F;
      extra = 2;
    } else if (b >= 0xF0 && b <= 0xF4) {
      c = b & 0x07;
      extra = 3;
    } else {
      return false;
    }
    if (i + extra >= in.size()) return false;
    for (size_t k = 1; k <= extra; ++k) {
      uint8_t next = static_cast<uint8_t>(in[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = c << 6 | (next & 0x3F);
    }
    if ((extra == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
        (extra == 3 && (c < 0x10000 || c > 0x10FFFF)))
      return false;
    if (c >= 0x10000) {
      c -= 0x10000;
      out->push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out->push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out->push_back(static_cast<char16_t>(c));
    }
    i += extra + 1;
  }
  return true;
}

// A FAT date and time (local time) from a time of the host; years outside 1980-2107 are held
// at the ends of that range.
void FatTime(time_t when, uint16_t* date, uint16_t* time_of_day, uint8_t* tenths) {
  struct tm t;
  if (localtime_r(&when, &t) == nullptr) std::memset(&t, 0, sizeof t);
  int year = t.tm_year + 1900;
  if (year < 1980) {
    *date = (0 << 9) | (1 << 5) | 1;
    *time_of_day = 0;
    if (tenths) *tenths = 0;
    return;
  }
  if (year > 2107) {
    *date = static_cast<uint16_t>((127 << 9) | (12 << 5) | 31);
    *time_of_day = static_cast<uint16_t>((23 << 11) | (59 << 5) | 29);
    if (tenths) *tenths = 100;
    return;
  }
  *date = static_cast<uint16_t>((year - 1980) << 9 | (t.tm_mon + 1) << 5 | t.tm_mday);
  int second = t.tm_sec > 59 ? 59 : t.tm_sec;
  *time_of_day = static_cast<uint16_t>(t.tm_hour << 11 | t.tm_min << 5 | second / 2);
  if (tenths) *tenths = static_cast<uint8_t>((second % 2) * 100);
}

}  // namespace

bool ParseDosAttrib(const std::string& value, uint8_t* attributes) {
  std::string text = value.substr(0, value.find('\0'));
  size_t at = 0;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) at = 2;
  if (at >= text.size()) return false;
  uint32_t bits = 0;
  for (; at < text.size(); ++at) {
    char c = text[at];
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
              : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0 || bits > 0xFFFFFFF) return false;
    bits = bits << 4 | static_cast<uint32_t>(digit);
  }
  *attributes = static_cast<uint8_t>(bits & 0xFF);
  return true;
}

FolderSource::~FolderSource() {
  if (open_fd_ >= 0) close(open_fd_);
}

bool FolderSource::Read(const std::string& root, TreeNode* tree, std::vector<std::string>* left_out,
                        std::string* error) {
  root_ = root;
  *tree = TreeNode();
  tree->directory = true;
  tree->attributes = kAttrDirectory;
  struct stat st;
  if (stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *error = "is no folder";
    return false;
  }
  DIR* probe = opendir(root.c_str());
  if (probe == nullptr) {
    *error = std::string("cannot be listed: ") + std::strerror(errno);
    return false;
  }
  closedir(probe);
  notes_.clear();
  ReadDirectory(root, "", 0, 0, tree, left_out);
  ReadLabel(tree);
  return true;
}

void FolderSource::ReadLabel(TreeNode* tree) {
  const std::string path = root_ + "/" + kWindowsLabelFile;
  int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW);
  if (fd < 0) return;
  struct stat st;
  char buffer[256];
  ssize_t n = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? read(fd, buffer, sizeof buffer) : -1;
  close(fd);
  if (n < 0) return;
  std::string text(buffer, static_cast<size_t>(n));
  while (!text.empty() && std::strchr(" \t\r\n", text.back()) != nullptr) text.pop_back();
  if (text.empty()) return;
  std::u16string label;
  std::string problem = "it is not UTF-8";
  if (static_cast<size_t>(n) == sizeof buffer)
    problem = "it is longer than the 11 bytes of a label in Shift-JIS";
  else if (Utf16FromUtf8(text, &label))
    problem = MakeLabel(label, tree->label);
  if (!problem.empty()) {
    notes_.push_back(std::string("\\: label \"") + text + "\" from " +
                     kWindowsLabelFile + " ignored (" + problem + ")");
    return;
  }
  tree->has_label = true;
  FatTime(st.st_mtime, &tree->label_times.write_date, &tree->label_times.write_time, nullptr);
}

bool FolderSource::Serial(uint32_t* serial) const {
  std::string path = root_ + "/" + kWindowsSerialFile;
  FILE* f = std::fopen(path.c_str(), "r");
  if (f == nullptr) return false;
  unsigned value = 0;
  bool ok = std::fscanf(f, "%8x", &value) == 1;
  std::fclose(f);
  *serial = value;
  return ok;
}

bool FolderSource::ReadDirectory(const std::string& host, const std::string& path,
                                 size_t sjis_length, int depth, TreeNode* dir,
                                 std::vector<std::string>* left_out) {
  DIR* d = opendir(host.c_str());
  if (d == nullptr) {
    left_out->push_back((path.empty() ? "\\" : path) + ": cannot be listed: " +
                        std::strerror(errno));
    return false;
  }
  std::vector<std::string> names;
  while (struct dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (depth == 0 && (name == kWindowsSerialFile || name == kWindowsLabelFile)) continue;
    names.push_back(name);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  std::vector<TreeNode> files, folders;
  for (const std::string& name : names) {
    std::string host_path = host + "/" + name;
    std::string shown = path.empty() ? name : path + "\\" + name;
    auto leave = [&](const std::string& why) {
      left_out->push_back(shown + ": " + why);
    };
    TreeNode node;
    std::string sjis;
    if (!Utf16FromUtf8(name, &node.name)) {
      leave("its name is not UTF-8");
      continue;
    }
    std::string problem = LongNameProblem(node.name);
    if (!problem.empty()) {
      leave(problem);
      continue;
    }
    if (!Utf16ToSjis(node.name, &sjis)) {
      leave("its name cannot be written in Shift-JIS");
      continue;
    }
    size_t length = sjis_length + (sjis_length == 0 ? 0 : 1) + sjis.size();
    if (length > kMaxSjisPath) {
      leave("its path is longer than the 255 bytes Windows 95/98 reaches");
      continue;
    }
    struct stat st;
    if (lstat(host_path.c_str(), &st) != 0) {
      leave(std::string("cannot be read: ") + std::strerror(errno));
      continue;
    }
    if (S_ISLNK(st.st_mode)) {
      leave("a symbolic link");
      continue;
    }
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
      leave("neither a file nor a folder");
      continue;
    }
    node.directory = S_ISDIR(st.st_mode);
    node.host_path = host_path;
    node.size = node.directory ? 0 : static_cast<uint64_t>(st.st_size);
    // The attributes Wine or Samba recorded; without them a file has the archive bit, as a
    // file copied by Windows does. Read-only also from the mode.
    char value[256];
    ssize_t n = getxattr(host_path.c_str(), kDosAttribName, value, sizeof value);
    uint8_t bits = 0;
    bool recorded = n > 0 && ParseDosAttrib(std::string(value, static_cast<size_t>(n)), &bits);
    node.attributes = recorded ? bits & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive)
                               : node.directory ? 0 : kAttrArchive;
    if (!node.directory && (st.st_mode & S_IWUSR) == 0) node.attributes |= kAttrReadOnly;
    if (node.directory) node.attributes |= kAttrDirectory;
    FatTime(st.st_mtime, &node.times.write_date, &node.times.write_time, nullptr);
    FatTime(st.st_mtime, &node.times.create_date, &node.times.create_time,
            &node.times.create_tenths);
    uint16_t unused;
    FatTime(st.st_atime, &node.times.access_date, &unused, nullptr);
    if (node.directory) {
      if (depth + 1 > kMaxTreeDepth) {
        leave("folders nested too deep");
        continue;
      }
      ReadDirectory(host_path, shown, length, depth + 1, &node, left_out);
      folders.push_back(std::move(node));
    } else {
      files.push_back(std::move(node));
    }
  }
  for (TreeNode& f : files) dir->children.push_back(std::move(f));
  for (TreeNode& f : folders) dir->children.push_back(std::move(f));
  return true;
}

bool FolderSource::ReadFile(const TreeNode& file, uint64_t offset, uint8_t* buffer, size_t length,
                            std::string* error) {
  if (open_path_ != file.host_path) {
    if (open_fd_ >= 0) close(open_fd_);
    open_path_ = file.host_path;
    open_fd_ = open(file.host_path.c_str(), O_RDONLY);
  }
  if (open_fd_ < 0) {
    *error = std::string("cannot be read: ") + std::strerror(errno);
    return false;
  }
  while (length > 0) {
    ssize_t n = pread(open_fd_, buffer, length, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = std::string("cannot be read: ") + std::strerror(errno);
      return false;
    }
    if (n == 0) {
      *error = "became shorter while it was read";
      return false;
    }
    buffer += n;
    offset += static_cast<uint64_t>(n);
    length -= static_cast<size_t>(n);
  }
  return true;
}
