// Where a printed picture lands on the page: half an inch from the left, one inch from the
// top, as wide as the page less one inch, its proportions kept. A picture that would then
// run past the page's foot (less half an inch) is made smaller to end there instead.
#pragma once

struct PrintRect {
  int x, y, width, height;
};

// `width` x `height`: the picture; `page_width`, `page_height`: the printable area in device
// pixels (a page_height of 0 or less: no limit); `dpi_x`, `dpi_y`: the printer's pixels per
// inch.
PrintRect PrintPlacement(int width, int height, int page_width, int page_height, int dpi_x, int dpi_y);
