#include "platform/print_layout.h"

#include <cstdint>

PrintRect PrintPlacement(int width, int height, int page_width, int dpi_x, int dpi_y) {
  PrintRect r{dpi_x / 2, dpi_y, page_width - dpi_x, 0};
  if (r.width < 1) r.width = 1;
  // 64-bit so a large page times a tall picture cannot overflow.
  if (width > 0) {
    const int64_t h = static_cast<int64_t>(height) * r.width / width;
    r.height = h > INT32_MAX ? INT32_MAX : static_cast<int>(h);
  }
  return r;
}
