#include "app/text_scale.h"

#include <algorithm>
#include <cstdlib>

namespace pellumar::app {

WindowScale ScaleAt(UINT dpi) {
  // Windows' message font at 100 % text is 9 points (Segoe UI, or the face of the language).
  const int standard = MulDiv(9, static_cast<int>(dpi), 72);
  const int height = std::abs(MessageFont(dpi).lfHeight);
  return {dpi, std::max(height, standard), standard};
}

}  // namespace pellumar::app
