#include "platform/print_layout.h"

#include <cstdint>

PrintRect PrintPlacement(int width, int height, int page_width, int page_height, int dpi_x, int dpi_y) {
  PrintRect r{dpi_x / 2, dpi_y, page_width - dpi_x, 0};
  if (r.width < 1) r.width = 1;
  if (width <= 0 || height <= 0) return r;
  // 64-bit so a large page times a tall picture cannot overflow.
  int64_t w = r.width;
  int64_t h = static_cast<int64_t>(height) * w / width;
  const int64_t room = static_cast<int64_t>(page_height) - dpi_y - dpi_y / 2;
  if (page_height > 0 && h > room) {
    h = room > 1 ? room : 1;
    w = static_cast<int64_t>(width) * h / height;
    if (w < 1) w = 1;
  }
  r.width = static_cast<int>(w);
  r.height = h > INT32_MAX ? INT32_MAX : static_cast<int>(h);
  return r;
}
