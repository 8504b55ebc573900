// A fresh working folder for one test, removed afterwards; CurrentDir points into it.
#pragma once

#include <string>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string File(const std::string& name) const;

 private:
  std::string path_;
  std::string saved_dir_;
};
