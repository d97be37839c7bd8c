#pragma once

#include <windows.h>

#include "app/text_scale.h"

// The window's frame: its size around the form's client area at a scale, and its place.
namespace pellumar::app {

// The controls clip the window's own painting: each area is painted once, by the window or by
// the control on it, so a resize does not flicker. The transparent labels paint the picture
// under their text themselves.
inline constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// The window's frame for the form's client size at `scale`, at the origin.
RECT FrameFor(const WindowScale& scale);

// That frame centred in the primary monitor's work area.
RECT CentredFrame(const WindowScale& scale);

}  // namespace pellumar::app
