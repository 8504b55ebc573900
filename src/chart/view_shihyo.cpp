#include "chart/view_shihyo.h"

#include "chart/chart_settings.h"
#include "chart/shihyo_lines.h"
#include "platform/diagnostics.h"

const ShihyoRow ShihyoTable[SHIHYO_KINDS] = {
    {1, AppendPsychoLines}, {2, AppendRciLines},  {3, AppendRsiLines},   {4, AppendDmiLines},
    {5, AppendVrLines},     {6, AppendStocLines}, {7, AppendKairiLines}, {8, AppendMacdLines},
};

namespace {

const ShihyoRow* FindRow(int kind) {
  for (const ShihyoRow& r : ShihyoTable)
    if (r.kind == kind) return &r;
  return nullptr;
}

bool Listed(int kind) {
  for (int i = 0; i < nViewShihyo; ++i)
    if (ViewShihyo[i] == kind) return true;
  return false;
}

}  // namespace

void RebuildViewShihyo() {
  int kept = 0;
  for (int i = 0; i < nViewShihyo; ++i) {
    const int kind = ViewShihyo[i];
    if (kind <= 0 || kind > SHIHYO_KINDS) {
      FatalAt(__FILE__, __LINE__);
      Fatal("kind Err=%d\n", kind);
    }
    const ShihyoRow* row = FindRow(kind);
    if (!row) {
      FatalAt(__FILE__, __LINE__);
      Fatal("kindが見つからない=%d,nViewShihyo=%d\n", kind, nViewShihyo);
    }
    if (*ShihyoFlag(kind)) ViewShihyo[kept++] = kind;
  }
  nViewShihyo = kept;
  for (const ShihyoRow& r : ShihyoTable) {
    if (!*ShihyoFlag(r.kind) || Listed(r.kind)) continue;
    if (nViewShihyo >= VIEW_SHIHYO_MAX) {
      FatalAt(__FILE__, __LINE__);
      Fatal("Over VIEW_SHIHYO_MAX\n");
    }
    ViewShihyo[nViewShihyo++] = r.kind;
  }
  for (int i = nViewShihyo; i < VIEW_SHIHYO_MAX; ++i) ViewShihyo[i] = 0;
}

void StepShihyo(int step) {
  int k = (nViewShihyo > 0 ? ViewShihyo[0] : 0) + step;
  for (const ShihyoRow& r : ShihyoTable) *ShihyoFlag(r.kind) = 0;
  if (k < 0) k = SHIHYO_MACD;
  if (int* flag = ShihyoFlag(k)) *flag = 1;
  RebuildViewShihyo();
}
