#pragma once
// The pictures that markup names: image-list entries, system icons, and
// pictures from the picture store or, by address, the picture cache.
#include <optional>
#include <string>

#include "ui/frame/MarkupRenderer.h"

namespace brenvik {

class TMarkupPicture;

struct MarkupImage {
    enum class Kind { ListImage, SmallIcon, LargeIcon, Picture };
    Kind Source = Kind::Picture;
    int Index = 0;
    TMarkupPicture* Picture = nullptr;
    TSize Size;  // natural size, before scaling
};

// A store picture by name, or for an address with "://" the cached picture,
// added and loaded on first use.
TMarkupPicture* FindMarkupPicture(const MarkupSources& sources, const std::string& name);

// The image an "<IMG SRC>" value names; none for unknown or empty sources.
std::optional<MarkupImage> ResolveMarkupImage(const MarkupSources& sources, const std::string& source);

// Stretched into rect when asked, otherwise at the natural size from the
// rectangle's corner (a GIF frame at its offset in the animation).
void DrawMarkupImage(Canvas& canvas, const MarkupSources& sources, const MarkupImage& image, const TRect& rect,
                     bool stretch);

}  // namespace brenvik
