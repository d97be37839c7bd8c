#pragma once

#include <windows.h>

#include "app/gdi.h"
#include "app/layout.h"
#include "app/text_scale.h"

// The labels' font. Their design asks for "MS Sans Serif" 8.25 pt bold in the Arabic character
// set, which Windows has only as a bitmap face without that set: what the font mapper gives
// instead differs from machine to machine, so the font is checked against the captions.
namespace pellumar::app {

// The labels that take the bold font: the three boxes' captions.
bool IsBoldLabel(ControlId id);

// The labels' font at `scale`, as asked, unless the face the system gives for it would not show
// a caption on one line inside its label: then the nearest request that does, so no caption is
// ever cut ("Site Name:" as "Site") or broken onto a second line. `window` is measured on.
UniqueFont LabelFontThatFits(HWND window, const WindowScale& scale);

}  // namespace pellumar::app
