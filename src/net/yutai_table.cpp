#include "net/yutai_table.h"

#include <cerrno>
#include <cstdio>
#include <string_view>
#include <utility>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "db/open_retry.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/file_error.h"
#include "platform/file_io.h"
#include "platform/file_replace.h"
#include "platform/working_folder.h"

const YutaiKind YutaiBunrui[YUTAI_KIND_COUNT] = {
    {"指定なし", 0, "----／"},
    {"食料品", 1, "食料品／"},
    {"食事券", 2, "食事券／"},
    {"金券", 4, "金券／"},
    {"カタログギフト", 8, "カタログギフト／"},
    {"交通・旅行", 16, "交通／"},
    {"暮らし", 32, "暮らし／"},
    {"ポイントサービス", 64, "ポイント／"},
    {"美容・ファッション", 128, "美容／"},
    {"教養・娯楽", 256, "教養・娯楽／"},
    {"スポーツ", 512, "スポーツ／"},
    {"保育・介護・医療", 1024, "保育・介護・医療／"},
    {"金融サービス", 2048, "金融／"},
    {"カレンダー", 4096, "カレンダー／"},
    {"長期保有特典", 8192, "長期保有／"},
    {"社会貢献", 16384, "社会貢献／"},
    {"プレミアム優待倶楽部", 32768, "プレミアム優待／"},
};

Yutai yutai[YUTAI_MAX_KABU];
int Yutai_Last_Num = 0;
char YutaiDateText[YUTAI_HEADER_TEXT];
int YutaiMonth = 0;
int YutaiBunruiNum = 0;

namespace {

constexpr const char kSlash[] = "／";

void PutInt32(unsigned char* p, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(u >> (8 * i));
}

int32_t GetInt32(const unsigned char* p) {
  uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = (u << 8) | p[i];
  return static_cast<int32_t>(u);
}

}  // namespace

void ClearYutaiTable(Yutai* table) {
  for (int i = 0; i < YUTAI_MAX_KABU; ++i) {
    Yutai& y = table[i];
    std::memset(&y, 0, sizeof y);
    y.code = -1;
    std::memcpy(y.name, "--", 3);
    std::memcpy(y.kakutei, "--", 3);
  }
}

int ReadYutai() {
  const std::string path = DataFilePath(YUTAI_FILE);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  int err = 0;
  const int fd = OpenRetryFd(path.c_str(), O_RDONLY, &err);
  if (fd < 0) return 0;
  static unsigned char image[YUTAI_FILE_SIZE];
  const size_t got = ::fstat(fd, &st) == 0 && st.st_size == YUTAI_FILE_SIZE
                         ? ReadFully(fd, image, sizeof image, 0, &err)
                         : 0;
  ::close(fd);
  if (got != sizeof image) {
    PRT("株主優待ファイル %s を読めません(%lld バイト)\n", path.c_str(), static_cast<long long>(st.st_size));
    return 0;
  }
  const int32_t count = GetInt32(image + YUTAI_HEADER_TEXT);
  if (count < 0 || count > YUTAI_MAX_KABU) {
    PRT("株主優待ファイル %s の件数が範囲外です(%d)\n", path.c_str(), count);
    return 0;
  }
  std::memcpy(YutaiDateText, image, YUTAI_HEADER_TEXT);
  YutaiDateText[YUTAI_HEADER_TEXT - 1] = '\0';
  Yutai_Last_Num = count;
  std::memcpy(yutai, image + YUTAI_HEADER_TEXT + 4, sizeof yutai);
  for (Yutai& y : yutai) {
    y.name[sizeof y.name - 1] = '\0';
    y.kakutei[sizeof y.kakutei - 1] = '\0';
  }
  PRT("Yutai_Last_Num = %d\n", Yutai_Last_Num);
  return 1;
}

int WriteYutai() {
  const std::string path = DataFilePath(YUTAI_FILE);
  unsigned char count[4];
  PutInt32(count, Yutai_Last_Num);
  FileReplace r;
  bool ok = FileReplaceBegin(&r, path) && FileReplaceWrite(&r, YutaiDateText, YUTAI_HEADER_TEXT) &&
            FileReplaceWrite(&r, count, sizeof count) && FileReplaceWrite(&r, yutai, sizeof yutai);
  if (ok) ok = FileReplaceCommit(&r);
  else FileReplaceAbort(&r);
  if (!ok) PRT("株主優待ファイル %s を書けません: %s\n", path.c_str(), FileErrorText(r.error ? r.error : EIO));
  return ok ? 1 : 0;
}

void SortYutai(Yutai* table, int count) {
  for (int i = 0; i < count - 1; ++i) {
    int min = i;
    for (int j = i + 1; j < count; ++j)
      if (table[j].code < table[min].code) min = j;
    if (min != i) std::swap(table[i], table[min]);
  }
}

bool YutaiMonthMatches(const char* kakutei, int month) {
  char key[8];
  std::snprintf(key, sizeof key, "%d月", month);
  const std::string_view text(kakutei);
  size_t at = Cp932Find(text, key);
  if (at == std::string_view::npos) return false;
  if (at == 0 || text[at - 1] != '1') return true;
  // 1月 or 2月 found inside 11月 or 12月: one more look after it.
  const size_t next = Cp932Find(text.substr(at + 1), key);
  if (next == std::string_view::npos) return false;
  at += 1 + next;
  PRT("2度目で発見 %s,%s\n", key, kakutei);
  return text[at - 1] != '1';
}

std::string YutaiKindText(int32_t bunrui) {
  std::string s;
  for (int k = 1; k < YUTAI_KIND_COUNT; ++k)
    if (bunrui & YutaiBunrui[k].bit) s += YutaiBunrui[k].label;
  if (s.empty()) s = YutaiBunrui[0].label;
  s.resize(s.size() - (sizeof kSlash - 1));
  return s;
}

int YutaiListRows(int month, int kind, int* rows, int capacity) {
  int n = 0;
  const int count = Yutai_Last_Num < YUTAI_MAX_KABU ? Yutai_Last_Num : YUTAI_MAX_KABU;
  for (int i = 0; i < count && n < capacity; ++i) {
    const Yutai& y = yutai[i];
    if (month >= 1 && month <= 12 && !YutaiMonthMatches(y.kakutei, month)) continue;
    if (kind >= 1 && kind < YUTAI_KIND_COUNT && !(y.bunrui & YutaiBunrui[kind].bit)) continue;
    rows[n++] = i;
  }
  return n;
}
