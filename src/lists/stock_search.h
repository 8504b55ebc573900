// Finding a stock by its code or by a part of its name.
#pragma once

#include <cstddef>
#include <string>

constexpr int NAME_SEARCH_MAX = 100;     // hits at which the name search gives up
constexpr int NAME_INPUT_BYTES = 31;     // text read from the name field
constexpr int ZENKAKU_BYTES = 31;        // capacity of the full-width form

// The full-width form of a text: half-width katakana, letters, digits, the blank and ASCII
// punctuation become their full-width characters; double-byte characters are kept; other
// bytes are dropped. The output (capacity bytes) keeps whole characters only and stops
// at capacity - 2 bytes ("半角変換 over").
void HankakuToZenkaku(const char* text, char* out, size_t capacity);

// The code search: the stock number for a field text of exactly four characters, or -1
// (with a diagnostic line when four characters name no stock). *done is set when the
// dialog closes (after the fourth character, found or not).
int CodeSearchText(const char* text, bool* done);

// Whether needle occurs in haystack starting at a character boundary (so that the second
// byte of a double-byte character never starts a match).
bool Cp932Contains(const char* haystack, const char* needle);

enum NameSearchResult { NAME_EMPTY, NAME_NONE, NAME_TOO_MANY, NAME_FOUND };
// Fills KensakuList with the stocks whose name or company name holds the text or its
// full-width form. NAME_TOO_MANY at the 100th hit.
NameSearchResult NameSearch(const char* text, int* hits);

// Shows a stock chosen in a list or a search in the chart.
void ShowListStock(int stock_num);
