// Token lists: the text runs between the tags of a page, one per entry of 200 bytes,
// followed by the end marker "$$$$$$$". Scrapers walk them up to the marker.
#pragma once

#include <cstring>

constexpr int TOKEN_SIZE = 200;  // an entry: at most 199 bytes and a NUL
constexpr int PlaneBUF_NUM = 300000;
constexpr int YuPlaneBUF_NUM = 6000;
constexpr const char TOKEN_END[] = "$$$$$$$";

// Each list holds up to its _NUM tokens and the end marker after the last.
extern char PlaneBUF[PlaneBUF_NUM + 1][TOKEN_SIZE];
extern char YuPlaneBUF[YuPlaneBUF_NUM + 1][TOKEN_SIZE];
// Tokens before the end marker of the last tokenised page.
extern int nPlaneBUF;
extern int nYuPlaneBUF;

enum TokenLongRule {
  TOKEN_KEEP_CUT,   // a token that reaches 199 bytes stays, cut to 199 bytes
  TOKEN_DROP_FULL,  // a token that reaches 199 bytes is left out
};

// Splits a NUL-terminated CP932 page text into list[0 .. num] and returns the number of
// tokens (the index of the end marker). Outside tags, spaces, line feeds and carriage
// returns are skipped, any other byte joins the current token; a token ends where a tag
// begins; text after the last tag is dropped. A double-byte character is never split.
// A page with more than num tokens is cut there, with a diagnostic line.
// With empty_cells, a table cell ("<td>", "<th>") closed without any token in it gives an
// empty token, so a blank cell keeps the row's later cells in their places.
int TokenisePage(const char* text, char (*list)[TOKEN_SIZE], int num, TokenLongRule rule, bool empty_cells = false);
// The two lists: price and margin history pages, shareholder-benefit pages.
int TokenisePlane(const char* text);  // PlaneBUF, TOKEN_KEEP_CUT, empty cells kept
int TokeniseYutai(const char* text);  // YuPlaneBUF, TOKEN_DROP_FULL

inline bool IsTokenEnd(const char* token) {
  return token[0] == '$' && std::strcmp(token, TOKEN_END) == 0;
}
// Token i of PlaneBUF / YuPlaneBUF; the end marker for any index outside the list, so a
// scanner that looks ahead never reads beyond the page.
const char* PlaneToken(int i);
const char* YuPlaneToken(int i);
