#include "db/price_model.h"

#include "db/database_file.h"

Fundamental fundamental[MAX_KABU];
int LastKabu = 0;
int32_t nikkei_date[MAX_DATE];
int LastDate = 0;
int32_t CodeOrder[MAX_KABU][2];
Hiashi ScratchHiashi;

namespace {
Hiashi g_work;
}

const char* const MarketName[MARKET_COUNT] = {
    "指定なし", "東証プライム", "東証スタンダード", "東証グロース", "東証 ETFなど", "名証プレミア",
    "名証メイン", "名証ネクスト", "福岡", "札幌", "旧 東証1部", "旧 東証2部", "旧 大証1部",
    "旧 大証2部", "旧 JASDAQ", "旧 マザーズ", "旧 ヘラクレス", "東証外国部", "大証外国部", "JQG",
    "新潟", "Nasdaq J", "大阪2部", "名古屋セ", "東京1部", "福岡"};

const char* const IndustryName[INDUSTRY_COUNT] = {
    "ガラス・土石製品", "ゴム製品", "サービス業", "その他金融業", "その他製品", "パルプ・紙",
    "医薬品", "卸売業", "化学", "海運業", "機械", "金属製品", "銀行業", "空運業", "建設業", "鉱業",
    "小売業", "証券業", "食料品", "水産・農林業", "精密機器", "石油・石炭製品", "繊維製品",
    "倉庫・運輸関連業", "情報・通信", "鉄鋼", "電気・ガス業", "電気機器", "非鉄金属", "不動産業",
    "保険業", "輸送用機器", "陸運業"};

const char* MarketNameOf(int market) {
  return (market >= 0 && market < MARKET_COUNT) ? MarketName[market] : MarketName[0];
}

Hiashi* WorkHiashi() { return &g_work; }

Hiashi* LoadHiashi(int stock_num) {
  VURN_file_in(stock_num, 2);
  return &g_work;
}
