// Where a printed picture lands on the page: half an inch from the left, one inch from the
// top, as wide as the page less one inch, its proportions kept.
#pragma once

struct PrintRect {
  int x, y, width, height;
};

// `width` x `height`: the picture; `page_width`: the printable width in device pixels;
// `dpi_x`, `dpi_y`: the printer's pixels per inch.
PrintRect PrintPlacement(int width, int height, int page_width, int dpi_x, int dpi_y);
