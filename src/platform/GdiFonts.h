#pragma once
#include <windows.h>

#include <string>

#include "ui/canvas/Canvas.h"

namespace brenvik {

// The face a font is drawn in: the named one when it is installed, else the
// system's dialog face (the message font of the non-client metrics: Tahoma
// on XP and Wine, Segoe UI from Vista on). Designs name faces that are not
// everywhere ("Arial Unicode MS" comes with Office); asking for a missing one
// would let the font mapper pick any face it likes.
std::string InstalledFaceOr(const std::string& name);

// A new font for a surface of the given pixels per inch; the caller frees it.
HFONT CreateFontFor(const TFontSpec& font, int pixelsPerInch);

// The font for native controls on the screen, made once per face and size
// and kept for the program's life.
HFONT ScreenFont(const TFontSpec& font);

}  // namespace brenvik
