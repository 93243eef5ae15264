#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace brenvik {

// The library-painted caption of the crash-report dialogs with the flat look.

// Colours of the caption bands, outermost first: each band's colour is the
// previous one times 0.96 (rounded), one band per 5 pixels of caption height.
std::vector<COLORREF> FlatCaptionGradient(bool active, int captionHeight);

// Non-client paint and activation of a flat dialog: paints the caption (an
// 8-bit Windows-1250 text) and sets the dialog's message result. True when
// the message was handled.
bool HandleFlatCaptionMessage(HWND dialog, UINT message, WPARAM wParam, HFONT captionFont, const std::string& caption);

}  // namespace brenvik
