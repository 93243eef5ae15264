#pragma once
#include <vector>

#include "ui/canvas/Geometry.h"

namespace brenvik {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

// What layout needs to know of one child control.
struct LayoutItem {
    TAlign Align = TAlign::alNone;
    unsigned Anchors = akLeft | akTop;
    bool Visible = true;
    TRect Bounds;
};

// Places aligned children: top-aligned ones downwards from the top edge in
// order of their current top; bottom-aligned ones upwards from the bottom
// edge, the one with the greatest current top lowest (so a control moved just
// above another stays above it); client-aligned ones fill what remains.
// Invisible children take no room.
void AlignItems(std::vector<LayoutItem>& items, const TRect& client);

// Moves and stretches unaligned children by their anchors when the parent's
// client area changes size.
void AnchorItems(std::vector<LayoutItem>& items, TSize oldClient, TSize newClient);

}  // namespace brenvik
