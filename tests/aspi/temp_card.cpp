#include "tests/aspi/temp_card.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

TempCard::TempCard(uint64_t sectors) {
  std::string pattern = (std::filesystem::temp_directory_path() / "cardsim-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  folder = pattern;
  image = folder + "/card.img";
  volume = folder + "/volume";
  std::filesystem::create_directory(volume);
  int fd = open(image.c_str(), O_CREAT | O_RDWR | O_TRUNC, 0644);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(sectors * 512)) != 0)
    throw std::runtime_error("image");
  close(fd);
}

TempCard::~TempCard() {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

std::vector<uint8_t> TempCard::Read(uint64_t lba, uint32_t count) const {
  std::vector<uint8_t> data(count * 512u);
  int fd = open(image.c_str(), O_RDONLY);
  ssize_t n = pread(fd, data.data(), data.size(), static_cast<off_t>(lba * 512));
  close(fd);
  if (n != static_cast<ssize_t>(data.size())) throw std::runtime_error("read image");
  return data;
}

void TempCard::Write(uint64_t lba, const std::vector<uint8_t>& data) const {
  int fd = open(image.c_str(), O_RDWR);
  ssize_t n = pwrite(fd, data.data(), data.size(), static_cast<off_t>(lba * 512));
  close(fd);
  if (n != static_cast<ssize_t>(data.size())) throw std::runtime_error("write image");
}

std::string TempCard::Serial() const {
  std::ifstream in(volume + "/.windows-serial");
  if (!in) return "";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> Pattern(uint32_t first, uint32_t count, uint8_t seed) {
  std::vector<uint8_t> data(count * 512u);
  for (uint32_t i = 0; i < data.size(); ++i) {
    uint32_t sector = first + i / 512;
    data[i] = static_cast<uint8_t>(seed + (i % 512) * 7 + sector * 13 + (sector >> 8));
  }
  return data;
}
