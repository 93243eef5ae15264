#include "crash/dialog/DialogFonts.h"

#include <cwchar>
#include <initializer_list>

namespace brenvik {

namespace {

bool WesternCodePage() {
    CHARSETINFO info{};
    const UINT codePage = GetACP();
    if (!TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<ULONG_PTR>(codePage)), &info, TCI_SRCCODEPAGE))
        return false;
    return info.ciCharset == ANSI_CHARSET;
}

HFONT FaceFont(const wchar_t* face, LONG height, LONG weight) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

}  // namespace

TDialogFonts::TDialogFonts() {
    const bool western = WesternCodePage();
    const wchar_t* firstFace = western ? L"Verdana" : L"MS Sans Serif";
    const wchar_t* secondFace = western ? L"Lucida Console" : L"Courier New";
    const int points = western ? 8 : 10;

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const bool haveMetrics = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != FALSE;
    caption_ = FaceFont(firstFace, haveMetrics ? metrics.lfCaptionFont.lfHeight : -11, FW_BOLD);
    message_ = haveMetrics ? CreateFontIndirectW(&metrics.lfMessageFont) : FaceFont(firstFace, -11, FW_NORMAL);

    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    fixed_ = FaceFont(secondFace, -MulDiv(points, pixelsPerInch, 72), FW_NORMAL);
}

TDialogFonts::~TDialogFonts() {
    for (HFONT font : {caption_, message_, fixed_})
        if (font != nullptr) DeleteObject(font);
}

void SetControlFont(HWND dialog, int id, HFONT font) {
    SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

}  // namespace brenvik
