#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/working_folder.h"

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "vurn-test-XXXXXX").string();
  char* made = mkdtemp(tmpl.data());
  EXPECT_NE(made, nullptr);
  path_ = tmpl;
  saved_dir_ = CurrentDir;
  SetCurrentDir(path_.c_str());
}

TempDir::~TempDir() {
  SetCurrentDir(saved_dir_.c_str());
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const { return path_ + "/" + name; }
