// The receive buffer every fetch fills, the plain text made from it, and the text
// conversions the scrapers run before they look at a page.
#pragma once

#include <cstddef>

constexpr int HTTP_BUF_SIZE = 4194304;

// The body of the last response, NUL-terminated; HttpBufLen bytes before the NUL.
extern char HttpBuf[HTTP_BUF_SIZE];
extern int HttpBufLen;
// The status code of the last response (200, 404, ...), 0 when no status line came.
extern int HttpStatusCode;
// The plain text of the last page (ReduceHtml).
extern char PageText[HTTP_BUF_SIZE];

// Reduces the first count bytes of HttpBuf to plain text in PageText: tags are dropped,
// a tag followed by text leaves one space, and the end of a table cell ("</td>", "</th>")
// or a "<br>" not followed by a line feed leaves a line feed. Returns the text's length.
int ReduceHtml(int count);
// The same over any buffer: reads count bytes of in, writes at most out_size - 1 bytes
// and a NUL to out. Returns the output length.
size_t ReduceHtmlText(const char* in, size_t count, char* out, size_t out_size);

// Converts the NUL-terminated UTF-8 text in buf[capacity] to CP932 in place; characters
// CP932 cannot hold become "?". The result is cut at a character boundary so that it and
// its NUL fit in capacity bytes. Returns the result's length.
int Utf8_to_Ansi(char* buf, size_t capacity);
// Replaces MINUS SIGN (U+2212) by FULLWIDTH HYPHEN-MINUS and WAVE DASH (U+301C) by
// FULLWIDTH TILDE in a NUL-terminated UTF-8 text, in place, so both survive the
// conversion to CP932.
void FixUtf8Dash(char* text);
