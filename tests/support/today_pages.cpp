#include "support/today_pages.h"

#include "support/utf8.h"

std::string ChartJson(const std::string& symbol, const std::string& timestamp, const std::string& open,
                      const std::string& high, const std::string& low, const std::string& close,
                      const std::string& volume) {
  return "{\"chart\":{\"result\":[{\"meta\":{\"currency\":\"JPY\",\"symbol\":\"" + symbol +
         "\",\"regularMarketVolume\":1,\"chartPreviousClose\":1.0},\"timestamp\":[" + timestamp +
         "],\"indicators\":{\"quote\":[{\"volume\":[" + volume + "],\"open\":[" + open + "],\"low\":[" + low +
         "],\"high\":[" + high + "],\"close\":[" + close + "]}],\"adjclose\":[{\"adjclose\":[" + close +
         "]}]}}],\"error\":null}}";
}

std::string ChartJsonDays(const std::string& symbol, const int64_t* timestamps, const int64_t* open,
                          const int64_t* high, const int64_t* low, const int64_t* close, const int64_t* volume,
                          int days) {
  auto list = [days](const int64_t* v) {
    std::string s;
    for (int i = 0; i < days; ++i) {
      if (i) s += ',';
      s += std::to_string(v[i]);
    }
    return s;
  };
  return ChartJson(symbol, list(timestamps), list(open), list(high), list(low), list(close), list(volume));
}

std::string QuotePage(const QuoteFigures& figures) {
  std::string page = U8(u8"<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"UTF-8\"><title>株価</title></head><body>\n");
  if (!figures.close.empty())
    page += "<script>window.__PRELOADED_STATE__ = {\"mainStocksPriceBoard\":{\"priceBoard\":{\"japanUpdateTime\":\"" +
            figures.time_text + "\",\"savePrice\":\"" + figures.close + "\",\"change\":\"+1\"}}};</script>\n";
  page += U8(u8"<header><span>リアルタイム株価</span><span>") + figures.time_text + "</span></header>\n";
  page += U8(u8"<div><span>値幅制限</span><span>1,000～9,000</span><span>(") + figures.limit_date + ")</span></div>\n";
  if (figures.prices) {
    page += U8(u8"<div><span>銘柄名</span><span>前日比</span><span>+10</span><span>(+0.5%)</span>"
               u8"<span>年初来</span><span>高値</span><span>安値</span><span>更新</span>"
               u8"<button>ポートフォリオに追加</button></div>\n");
    page += U8(u8"<dl><dt>始値</dt><dd><span>用語</span></dd><dd>") + figures.open + "</dd><dd>(09:00)</dd></dl>\n";
    page += U8(u8"<dl><dt>高値</dt><dd><span>用語</span></dd><dd>") + figures.high + "</dd><dd>(10:00)</dd></dl>\n";
    page += U8(u8"<dl><dt>安値</dt><dd><span>用語</span></dd><dd>") + figures.low + "</dd><dd>(11:00)</dd></dl>\n";
    page += U8(u8"<dl><dt>出来高</dt><dd><span>用語</span></dd><dd>") + figures.volume + U8(u8"</dd><dd>株</dd></dl>\n");
  }
  page += "</body></html>\n";
  return page;
}

std::string ChartPath(const std::string& symbol) {
  return "/v8/finance/chart/" + symbol + "?range=1d&interval=1d&events=split%7Cdiv";
}
std::string QuotePath(const std::string& symbol) { return "/quote/" + symbol; }
