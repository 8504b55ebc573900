// make_sample_data <folder>: writes the sample stock master file vurn.tag and the sample
// database try.hy3 (20 stocks, generated prices) and the sample company information
// try_fu4.hy3 into folder. The same bytes every run.
// Exit codes: 0 written, 1 a file could not be written (nothing of the sample is left then, so
// the next start writes it afresh), 2 usage.
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "db/sample_data.h"
#include "net/company_sample.h"
#include "platform/codepage.h"
#include "platform/file_error.h"

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '\0' || std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help") {
    std::fprintf(stderr, "usage: make_sample_data <folder>\n");
    return 2;
  }
  struct stat st {};
  if (::stat(argv[1], &st) != 0 || !S_ISDIR(st.st_mode)) {
    std::fprintf(stderr, "make_sample_data: %s is not a folder\n", argv[1]);
    return 1;
  }
  // A file-size limit is a failed write, reported, not the end of the process.
  std::signal(SIGXFSZ, SIG_IGN);
  std::string failed;
  if (int err = WriteSampleData(argv[1], &failed)) {
    std::fprintf(stderr, "make_sample_data: %s: %s\n", failed.c_str(), Cp932ToUtf8(FileErrorText(err)).c_str());
    return 1;
  }
  // The company information is made from the master file; without it the sample is taken
  // away again, the master file (the mark of a prepared folder) first.
  if (int err = WriteSampleCompanyFile(argv[1])) {
    const std::string dir = argv[1];
    std::remove((dir + "/vurn.tag").c_str());
    std::remove((dir + "/try.hy3").c_str());
    std::fprintf(stderr, "make_sample_data: %s/try_fu4.hy3: %s\n", argv[1], Cp932ToUtf8(FileErrorText(err)).c_str());
    return 1;
  }
  std::printf("make_sample_data: wrote %s/vurn.tag, %s/try.hy3 (generated sample prices) and %s/try_fu4.hy3\n",
              argv[1], argv[1], argv[1]);
  return 0;
}
