#include "support/test_files.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string ReadFileRange(const std::string& path, int64_t offset, size_t size) {
  std::string out(size, '\0');
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return "";
  size_t got = 0;
  if (fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0) got = std::fread(out.data(), 1, size, f);
  std::fclose(f);
  out.resize(got);
  return out;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}
