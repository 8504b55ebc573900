#include "list_file.h"

#include <cstdio>
#include <cstring>
#include <freexl.h>
#include <utility>
#include <vector>

#include "platform/codepage.h"

// The older binary format starts with the compound-file signature.
bool IsSpreadsheet(const std::string& bytes) {
  return bytes.size() >= 8 && std::memcmp(bytes.data(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) == 0;
}

bool ReadSpreadsheet(const std::string& path, TextTable* table, std::string* error) {
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
