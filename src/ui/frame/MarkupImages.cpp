#include "ui/frame/MarkupImages.h"

#include "base/Text.h"
#include "ui/canvas/ImageList.h"
#include "ui/frame/MarkupPictureCache.h"
#include "ui/frame/MarkupPictureStore.h"
#include "ui/frame/MarkupSystemIcons.h"
#include "ui/frame/MarkupTags.h"

namespace brenvik {
namespace {

bool HasPrefix(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameTextAscii(std::string_view(text).substr(0, prefix.size()), prefix);
}

std::optional<MarkupImage> SystemIcon(const MarkupSources& sources, const std::string& path, bool large) {
    if (!sources.Icons) return std::nullopt;
    int index = 0;
    if (!TryParseInt32(path, index) && !sources.Icons->IconIndexOfPath(path, large, index)) return std::nullopt;
    return MarkupImage{large ? MarkupImage::Kind::LargeIcon : MarkupImage::Kind::SmallIcon, index, nullptr,
                       sources.Icons->IconSize(large)};
}

}  // namespace

TMarkupPicture* FindMarkupPicture(const MarkupSources& sources, const std::string& name) {
    if (name.find("://") != std::string::npos) {
        if (!sources.PictureCache) return nullptr;
        if (TMarkupPicture* cached = sources.PictureCache->FindPicture(name)) return cached;
        TMarkupPicture& picture = sources.PictureCache->AddPicture();
        picture.SetAsynchronous(false);
        picture.LoadFromAddress(name);
        return &picture;
    }
    if (name.find(':') != std::string::npos || !sources.PictureStore) return nullptr;
    return sources.PictureStore->FindPicture(name);
}

std::optional<MarkupImage> ResolveMarkupImage(const MarkupSources& sources, const std::string& source) {
    if (HasPrefix(source, "IDX:")) {
        int index = 0;
        if (!sources.Images || !TryParseInt32(source.substr(4), index) || index < 0 ||
            index >= sources.Images->Count())
            return std::nullopt;
        return MarkupImage{MarkupImage::Kind::ListImage, index, nullptr, sources.Images->ImageSize()};
    }
    if (HasPrefix(source, "SSYS:")) return SystemIcon(sources, source.substr(5), false);
    if (HasPrefix(source, "LSYS:")) return SystemIcon(sources, source.substr(5), true);
    TMarkupPicture* picture = FindMarkupPicture(sources, source);
    if (!picture || picture->Empty() || !picture->Decoded()) return std::nullopt;
    return MarkupImage{MarkupImage::Kind::Picture, 0, picture, {picture->Width(), picture->Height()}};
}

void DrawMarkupImage(Canvas& canvas, const MarkupSources& sources, const MarkupImage& image, const TRect& rect,
                     bool stretch) {
    switch (image.Source) {
    case MarkupImage::Kind::ListImage:
        sources.Images->Draw(canvas, image.Index, rect.Left, rect.Top);
        break;
    case MarkupImage::Kind::SmallIcon:
    case MarkupImage::Kind::LargeIcon:
        sources.Icons->Draw(canvas, image.Index, image.Source == MarkupImage::Kind::LargeIcon, rect.Left, rect.Top);
        break;
    case MarkupImage::Kind::Picture:
        if (stretch) {
            image.Picture->DrawStretched(canvas, rect);
        } else {
            TPoint offset = image.Picture->FrameOffset();
            image.Picture->Draw(canvas, {rect.Left + offset.X, rect.Top + offset.Y, rect.Right, rect.Bottom});
        }
        break;
    }
}

}  // namespace brenvik
