// Counting a tree and naming its entries in messages.
#include "fat/tree.h"

#include <cstring>

TreeCount CountTree(const TreeNode& root) {
  TreeCount count;
  for (const TreeNode& child : root.children) {
    if (child.directory) {
      TreeCount inner = CountTree(child);
      count.files += inner.files;
      count.directories += inner.directories + 1;
      count.bytes += inner.bytes;
    } else {
      ++count.files;
      count.bytes += child.size;
    }
  }
  return count;
}

std::string Utf8FromUtf16(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | c >> 6));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | c >> 12));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | c >> 18));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::string ChildPath(const std::string& parent, const TreeNode& child) {
  std::string name = Utf8FromUtf16(child.name);
  return parent.empty() ? name : parent + "\\" + name;
}

static uint64_t Mix(uint64_t h, uint64_t word) {
  h ^= word;
  h *= 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 29);
}

static void Block(uint64_t lane[4], const uint8_t* data) {
  for (int i = 0; i < 4; ++i) {
    uint64_t word;
    std::memcpy(&word, data + 8 * i, 8);
    lane[i] = Mix(lane[i], word);
  }
}

void FileDigest::Add(const uint8_t* data, size_t size) {
  size_t used = static_cast<size_t>(length % 32);
  length += size;
  if (used != 0) {
    size_t take = 32 - used < size ? 32 - used : size;
    std::memcpy(tail + used, data, take);
    data += take;
    size -= take;
    if (used + take < 32) return;
    Block(lane, tail);
  }
  // The lanes in locals: stores through `lane` could alias the bytes and keep them in memory.
  uint64_t a = lane[0], b = lane[1], c = lane[2], d = lane[3];
  for (; size >= 32; data += 32, size -= 32) {
    uint64_t w[4];
    std::memcpy(w, data, 32);
    a = Mix(a, w[0]);
    b = Mix(b, w[1]);
    c = Mix(c, w[2]);
    d = Mix(d, w[3]);
  }
  lane[0] = a;
  lane[1] = b;
  lane[2] = c;
  lane[3] = d;
  std::memcpy(tail, data, size);
}

uint64_t FileDigest::Value() const {
  uint64_t copy[4] = {lane[0], lane[1], lane[2], lane[3]};
  uint8_t last[32] = {};
  std::memcpy(last, tail, static_cast<size_t>(length % 32));
  Block(copy, last);
  uint64_t h = copy[0];
  for (int i = 1; i < 4; ++i) h = Mix(h, copy[i]);
  return Mix(h, length);
}
