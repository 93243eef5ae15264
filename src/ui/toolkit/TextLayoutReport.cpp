#include "ui/toolkit/TextLayoutReport.h"

#include "platform/GdiCanvas.h"
#include "ui/toolkit/Scaling.h"
#include "ui/toolkit/TForm.h"

namespace brenvik {
namespace {

constexpr ULONG_PTR kReportTag = 0x59414C54;  // "TLAY"
constexpr UINT kReplyTimeoutMs = 5000;

std::string RectText(const TRect& r) {
    return std::to_string(r.Left) + " " + std::to_string(r.Top) + " " + std::to_string(r.Right) + " " +
           std::to_string(r.Bottom);
}

TRect Offset(const TRect& r, TPoint by) { return {r.Left + by.X, r.Top + by.Y, r.Right + by.X, r.Bottom + by.Y}; }

// origin: where the parent's client area lies in the form's.
void Report(TWinControl& parent, TPoint origin, Canvas& canvas, std::string& out) {
    for (TControl* control : parent.Controls()) {
        if (!control->Visible()) continue;
        TRect bounds = Offset(control->BoundsRect(), origin);
        out += "control " + control->Name + " " + (parent.Name.empty() ? "-" : parent.Name) + " " +
               RectText(bounds) + "\n";
        if (auto room = control->MeasureText(canvas))
            out += "text " + control->Name + " " + RectText(Offset(room->Box, {bounds.Left, bounds.Top})) + " " +
                   std::to_string(room->Needed.Width) + " " + std::to_string(room->Needed.Height) + "\n";
        if (control->IsWindowed()) Report(static_cast<TWinControl&>(*control), {bounds.Left, bounds.Top}, canvas, out);
    }
}

}  // namespace

std::string TextLayoutReport(TForm& form) {
    std::string out = "dpi " + std::to_string(ScreenPixelsPerInch()) + "\n";
    HDC screen = GetDC(nullptr);
    HDC measure = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    {
        GdiCanvas canvas(measure);
        Report(form, {0, 0}, canvas, out);
    }
    DeleteDC(measure);
    return out;
}

bool IsTextLayoutRequest(UINT message) {
    static const UINT request = RegisterWindowMessageW(L"Brenvik.TextLayout");
    return message == request;
}

void AnswerTextLayoutRequest(TForm& form, HWND requester) {
    std::string report = TextLayoutReport(form);
    COPYDATASTRUCT data{kReportTag, static_cast<DWORD>(report.size()), report.data()};
    SendMessageTimeoutW(requester, WM_COPYDATA, reinterpret_cast<WPARAM>(form.Handle()),
                        reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kReplyTimeoutMs, nullptr);
}

}  // namespace brenvik
