// The two company pages of the company-information site (overview and financial results):
// their token table and the parser that fills the company record.
#pragma once

constexpr int WFunCharNum = 3000;      // tokens of one page at most
constexpr int WFUN_CHAR_SIZE = 128;    // a token: at most 127 bytes and a NUL
constexpr int WFUN_TAG_MAX = 65535;    // bytes of one tag's text that are looked at
// The tokens of the last page, then the end marker "$$$$$$$".
extern char WFunChar[WFunCharNum + 1][WFUN_CHAR_SIZE];

// Splits a NUL-terminated CP932 page into WFunChar. Text between tags becomes tokens (spaces
// and line breaks dropped, "&nbsp;" vanishes); an empty cell of an aligned table
// ("<td align...></td>") gives the token "-". A page of more tokens is cut at WFunCharNum and
// a longer tag is looked at only up to WFUN_TAG_MAX bytes, each with a diagnostic line.
// Returns the number of tokens.
int TokeniseFunPage(const char* text);
// Token i, or the end marker beyond the page.
const char* FunToken(int i);

// Fetches url (the internet-library path uses hInternet) and tokenises it. 1, or 0 when no
// page came or it came with an error status: a failed fetch leaves the stock to a later run.
int GetFunPage(const char* url);
// Fills the buffered record of stock number n from WFunChar and writes it: the overview page
// sets the text fields, the financial-results page the table. Only a recognised page marks
// the record downloaded (its code set). 1 when the page was recognised and the record
// written, else 0.
int ParseFunPage(int n);
