#include "list_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <freexl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/codepage.h"

namespace {

bool ReadSheet(const std::string& path, TextTable* table, std::string* error) {
  const void* handle = nullptr;
  if (freexl_open(path.c_str(), &handle) != FREEXL_OK) {
    if (handle) freexl_close(handle);
    *error = "表計算ファイルとして読めません";
    return false;
  }
  unsigned int rows = 0;
  unsigned short columns = 0;
  if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
      freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
    freexl_close(handle);
    *error = "表計算ファイルにシートがありません";
    return false;
  }
  // The format holds at most 65536 rows of 256 columns; a damaged file may claim millions.
  if (rows > 65536 || columns > 256) {
    freexl_close(handle);
    *error = "表計算ファイルのシートの大きさが壊れています";
    return false;
  }
  for (unsigned int r = 0; r < rows; ++r) {
    std::vector<std::string> row;
    for (unsigned short c = 0; c < columns; ++c) {
      FreeXL_CellValue v;
      std::string text;
      if (freexl_get_cell_value(handle, r, c, &v) == FREEXL_OK) {
        char buf[64];
        switch (v.type) {
          case FREEXL_CELL_INT:
            std::snprintf(buf, sizeof buf, "%d", v.value.int_value);
            text = buf;
            break;
          case FREEXL_CELL_DOUBLE:
            std::snprintf(buf, sizeof buf, "%.15g", v.value.double_value);
            text = buf;
            break;
          case FREEXL_CELL_TEXT:
          case FREEXL_CELL_SST_TEXT:
          case FREEXL_CELL_DATE:
          case FREEXL_CELL_DATETIME:
          case FREEXL_CELL_TIME:
            if (v.value.text_value) text = Utf8ToCp932(v.value.text_value);
            break;
          default:
            break;
        }
      }
      row.push_back(text);
    }
    // A sheet may claim far more columns than it fills: a row keeps its cells up to the
    // last one with text, so that an empty expanse costs no memory.
    while (!row.empty() && row.back().empty()) row.pop_back();
    table->push_back(std::move(row));
  }
  freexl_close(handle);
  return true;
}

// The table crosses the pipe as: 1 (read) or 0 (refused); then the error text, or the rows:
// each a cell count and cells, each a length and bytes.
void PutCount(std::string* out, size_t n) {
  const uint32_t v = static_cast<uint32_t>(n);
  out->append(reinterpret_cast<const char*>(&v), sizeof v);
}
void PutText(std::string* out, const std::string& text) {
  PutCount(out, text.size());
  *out += text;
}
bool GetCount(const std::string& in, size_t* at, size_t* n) {
  uint32_t v = 0;
  if (in.size() - *at < sizeof v) return false;
  std::memcpy(&v, in.data() + *at, sizeof v);
  *at += sizeof v;
  *n = v;
  return true;
}
bool GetText(const std::string& in, size_t* at, std::string* text) {
  size_t n = 0;
  if (!GetCount(in, at, &n) || in.size() - *at < n) return false;
  text->assign(in, *at, n);
  *at += n;
  return true;
}

}  // namespace

// The older binary format starts with the compound-file signature.
bool IsSpreadsheet(const std::string& bytes) {
  return bytes.size() >= 8 && std::memcmp(bytes.data(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) == 0;
}

// libfreexl can crash on a damaged file (1.0.6 reads out of bounds on some), so the sheet is
// read in a child process that hands the table back through a pipe: a child that dies is a
// refusal, not the end of vurndb.
bool ReadSpreadsheet(const std::string& path, TextTable* table, std::string* error) {
  const char* const broken = "表計算ファイルが壊れていて読めません";
  int fds[2];
  if (::pipe(fds) != 0) {
    *error = broken;
    return false;
  }
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(fds[0]);
    TextTable read;
    std::string why, out;
    const bool ok = ReadSheet(path, &read, &why);
    out.push_back(ok ? 1 : 0);
    if (!ok) {
      PutText(&out, why);
    } else {
      PutCount(&out, read.size());
      for (const auto& row : read) {
        PutCount(&out, row.size());
        for (const std::string& cell : row) PutText(&out, cell);
      }
    }
    for (size_t done = 0; done < out.size();) {
      const ssize_t n = ::write(fds[1], out.data() + done, out.size() - done);
      if (n <= 0) ::_exit(1);
      done += static_cast<size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string in;
  if (child > 0) {
    char buf[65536];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
      if (n > 0) in.append(buf, static_cast<size_t>(n));
  }
  ::close(fds[0]);
  int status = 0;
  const bool exited = child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                      WEXITSTATUS(status) == 0;
  size_t at = 1, rows = 0;
  if (!exited || in.empty()) {
    *error = broken;
    return false;
  }
  if (in[0] == 0) {
    if (!GetText(in, &at, error)) *error = broken;
    return false;
  }
  if (!GetCount(in, &at, &rows)) {
    *error = broken;
    return false;
  }
  for (size_t r = 0; r < rows; ++r) {
    size_t cells = 0;
    std::vector<std::string> row;
    if (!GetCount(in, &at, &cells)) break;
    row.resize(cells);
    for (std::string& cell : row)
      if (!GetText(in, &at, &cell)) break;
    table->push_back(std::move(row));
  }
  return true;
}
