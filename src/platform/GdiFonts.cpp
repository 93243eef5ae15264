#include "platform/GdiFonts.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <tuple>

#include "platform/Cp1250.h"

namespace brenvik {
namespace {

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const std::wstring& face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    std::copy_n(face.begin(), std::min<size_t>(face.size(), LF_FACESIZE - 1), query.lfFaceName);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

std::string DialogFace() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return "Tahoma";
    return Cp1250FromWide(metrics.lfMessageFont.lfFaceName);
}

}  // namespace

std::string InstalledFaceOr(const std::string& name) {
    static std::map<std::string, std::string> known;
    auto it = known.find(name);
    if (it != known.end()) return it->second;
    return known[name] = FaceInstalled(WideFromCp1250(name)) ? name : DialogFace();
}

// The program's texts are Windows-1250: asking for that character set keeps
// a face's Central European glyphs (MS Sans Serif is a separate font file
// for them) whatever the system's code page.
HFONT CreateFontFor(const TFontSpec& font, int pixelsPerInch) {
    int height = font.Height ? -MulDiv(std::abs(font.Height), pixelsPerInch, 96)
                             : -MulDiv(font.Size, pixelsPerInch, 72);
    return CreateFontW(height, 0, font.Orientation, font.Orientation, (font.Style & fsBold) ? FW_BOLD : FW_NORMAL,
                       (font.Style & fsItalic) != 0, (font.Style & fsUnderline) != 0, (font.Style & fsStrikeOut) != 0,
                       EASTEUROPE_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, WideFromCp1250(InstalledFaceOr(font.Name)).c_str());
}

HFONT ScreenFont(const TFontSpec& font) {
    using Key = std::tuple<std::string, int, int, unsigned, int>;
    static std::map<Key, HFONT> made;
    Key key{font.Name, font.Size, font.Height, font.Style, font.Orientation};
    auto it = made.find(key);
    if (it != made.end()) return it->second;
    HDC screen = GetDC(nullptr);
    HFONT handle = CreateFontFor(font, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return made[key] = handle;
}

}  // namespace brenvik
