#include "crash/dialog/FlatCaption.h"

#include <algorithm>
#include <cmath>

#include "platform/Cp1250.h"

namespace brenvik {

namespace {

BYTE Darker(BYTE component) { return static_cast<BYTE>(std::min(255L, std::lround(component * 0.96))); }

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void Outline(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
}

}  // namespace

std::vector<COLORREF> FlatCaptionGradient(bool active, int captionHeight) {
    BYTE r = active ? 130 : 151, g = active ? 156 : 151, b = active ? 194 : 151;
    std::vector<COLORREF> bands;
    for (int i = 0; i < captionHeight / 5; ++i) {
        r = Darker(r);
        g = Darker(g);
        b = Darker(b);
        bands.push_back(RGB(r, g, b));
    }
    return bands;
}

static void PaintFlatCaption(HWND window, HFONT captionFont, const std::wstring& caption, bool active) {
    RECT outer{};
    GetWindowRect(window, &outer);
    OffsetRect(&outer, -outer.left, -outer.top);
    // The frame's thickness as the window has it now: the details view's
    // sizing frame is wider than the compact view's dialog frame.
    const bool sizing = (GetWindowLongPtrW(window, GWL_STYLE) & WS_THICKFRAME) != 0;
    const int frameWidth = GetSystemMetrics(sizing ? SM_CXSIZEFRAME : SM_CXFIXEDFRAME);
    const int frameHeight = GetSystemMetrics(sizing ? SM_CYSIZEFRAME : SM_CYFIXEDFRAME);
    const int captionHeight = GetSystemMetrics(SM_CYSMCAPTION);
    RECT inner = outer;
    InflateRect(&inner, -(frameWidth - 1), -(frameHeight - 1));
    RECT band{inner.left + 1, inner.top + 1, inner.right - 1, inner.top + 1 + captionHeight};

    // The client area in window coordinates: everything around it is ours.
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT windowRect{};
    GetWindowRect(window, &windowRect);
    OffsetRect(&client, -windowRect.left, -windowRect.top);

    HDC dc = GetWindowDC(window);
    if (dc == nullptr) return;
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);

    RECT strips = outer;
    InflateRect(&strips, -1, -1);
    Fill(dc, strips, active ? RGB(128, 128, 128) : RGB(96, 96, 96));

    RECT current = band;
    for (COLORREF colour : FlatCaptionGradient(active, captionHeight)) {
        Fill(dc, current, colour);
        current.top += 2;
        current.bottom -= 2;
    }

    const COLORREF lineColour = active ? RGB(64, 64, 64) : RGB(48, 48, 48);
    Outline(dc, outer, lineColour);
    RECT clientFrame = client;
    InflateRect(&clientFrame, 1, 1);
    SelectClipRgn(dc, nullptr);
    Outline(dc, clientFrame, lineColour);

    HGDIOBJ oldFont = SelectObject(dc, captionFont);
    SetBkMode(dc, TRANSPARENT);
    const auto drawAt = [&](int offset, COLORREF colour) {
        RECT text = band;
        text.left += offset;
        SetTextColor(dc, colour);
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    };
    if (active) {
        drawAt(5, RGB(34, 34, 34));
        drawAt(4, RGB(255, 255, 255));
    } else {
        drawAt(4, RGB(224, 224, 224));
    }
    SelectObject(dc, oldFont);
    ReleaseDC(window, dc);
}

bool HandleFlatCaptionMessage(HWND dialog, UINT message, WPARAM wParam, HFONT captionFont, const std::string& caption) {
    if (message != WM_NCPAINT && message != WM_NCACTIVATE) return false;
    const bool active = message == WM_NCACTIVATE ? wParam != FALSE : GetActiveWindow() == dialog;
    PaintFlatCaption(dialog, captionFont, WideFromCp1250(caption), active);
    // Activation must still be allowed to change.
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
    return true;
}

}  // namespace brenvik
