// The ranking list: every stock, filtered by market and industry, in stock-table order or
// ordered by one of eleven keys from the screening data.
#pragma once

#include <string>
#include <vector>

constexpr int JUNI_KEY_COUNT = 12;
constexpr int JUNI_MARKET_CHOICES = 19;    // "指定なし" and markets 1 to 18
constexpr int JUNI_INDUSTRY_CHOICES = 34;  // "指定なし" and the 33 industries
enum JuniOrder { JUNI_TOP = 0, JUNI_BOTTOM = 1, JUNI_NONE = 2 };

extern const char* const JuniKeyName[JUNI_KEY_COUNT];
extern const char* const JuniOrderName[3];

// The key of one stock (floating point), as the ranking window computes it.
double JuniKey(int key, int stock_num);

struct JuniRow {
  int stock_num;
  std::string no;       // position, "--" for a tie or without order
  std::string percent;  // the key formatted by kind, "----" without order
  std::string code;
  std::string name;
};

// The rows for the four choices (market 0-18, industry 0-33, key 0-11, order 0-2). Key 0
// always lists in stock-table order. Equal keys keep stock-table order.
std::vector<JuniRow> MakeJuniRows(int market, int industry, int key, int order);
// The key text of the % column.
std::string FormatJuniKey(int key, double value);
