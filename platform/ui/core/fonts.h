// Font objects behind HFONT (a face, a point size and a weight) and the
// colours of brushes.
#pragma once

#include "platform/ui/core/window.h"
#include "platform/ui/gdi.h"

namespace ui::core {

bool FontOf(HFONT font, FontStyle* style);
HFONT MakeFont(const FontStyle& style);
// The colour of a solid brush; false for the null brush or a stale handle.
bool BrushColor(HBRUSH brush, COLORREF* color);

}  // namespace ui::core
