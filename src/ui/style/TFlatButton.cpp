#include "ui/style/TFlatButton.h"

#include "platform/GdiCanvas.h"
#include "ui/style/AcceleratorText.h"
#include "ui/toolkit/DesignValues.h"
#include "ui/toolkit/Scaling.h"

namespace brenvik {
namespace {

const char kButtonFace[] = "Arial Unicode MS";
constexpr int kFocusInset = 3;
constexpr TColor kHotCaptionWithoutBorder = RGBColor(255, 223, 127);

void Frame(Canvas& canvas, const TRect& rect, TColor color) {
    canvas.SetBrushColor(clNone);
    canvas.SetPen(color, 1);
    canvas.Rectangle(rect);
}

}  // namespace

TFlatButton::TFlatButton(TComponent* owner) : TWinControl(owner) {
    TFontSpec font = Font();
    font.Name = kButtonFace;
    SetFont(font);
    SetBounds(ScaleToScreen(TRect{0, 0, 80, 23}));
}

void TFlatButton::SetParent(TWinControl* parent) {
    TWinControl::SetParent(parent);
    if (parent) Color = parent->Color;
}

TWinControl::CreateParams TFlatButton::GetCreateParams() {
    return NativeControlParams(L"Button", BS_PUSHBUTTON | WS_TABSTOP);
}

TForm* TFlatButton::ParentForm() const {
    for (TWinControl* parent = Parent(); parent; parent = parent->Parent())
        if (auto* form = dynamic_cast<TForm*>(parent)) return form;
    return OwnerForm();
}

void TFlatButton::Click() {
    if (PopupMenu) {
        RECT window;
        GetWindowRect(Handle(), &window);
        PopupMenu->PopupComponent = this;
        PopupMenu->Popup(window.left, window.bottom);
        return;
    }
    if (TForm* form = ParentForm()) form->ModalResult = ModalResult;
    TWinControl::Click();
}

void TFlatButton::SetCaption(const std::string& caption) {
    TWinControl::SetCaption(caption);
    Repaint();
}

void TFlatButton::ApplyProperty(const DesignProperty& property, TForm& form) {
    const std::string& value = property.Value;
    if (property.Name == "ModalResult")
        ModalResult = ParseInt(value);
    else if (property.Name == "ColorFocused")
        ColorFocused = ParseColor(value);
    else if (property.Name == "ColorDown")
        ColorDown = ParseColor(value);
    else if (property.Name == "ColorBorder")
        ColorBorder = ParseColor(value);
    else if (property.Name == "ColorShadow")
        ColorShadow = ParseColor(value);
    else if (property.Name == "DisableBorder")
        DisableBorder = ParseBool(value);
    else
        TWinControl::ApplyProperty(property, form);
}

void TFlatButton::Repaint() {
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TFlatButton::SetState(TFlatButtonState state) {
    if (state == state_) return;
    state_ = state;
    Repaint();
}

bool TFlatButton::Inside(LPARAM lParam) const {
    int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    TSize size = ClientSize();
    return x >= 0 && y >= 0 && x < size.Width && y < size.Height;
}

void TFlatButton::MouseMoved(LPARAM lParam) {
    if (!mouseInside_) {
        mouseInside_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        if (Enabled()) {
            hot_ = true;
            Repaint();
        }
    }
    if (capturing_) SetState(Inside(lParam) ? TFlatButtonState::Pressed : TFlatButtonState::Up);
}

void TFlatButton::ButtonDown() {
    if (!Enabled()) return;
    state_ = TFlatButtonState::Pressed;
    Repaint();
    capturing_ = true;
    SetCapture(Handle());
    ::SetFocus(Handle());
}

void TFlatButton::ButtonUp(LPARAM lParam) {
    if (!capturing_) return;
    capturing_ = false;
    ReleaseCapture();
    state_ = TFlatButtonState::Up;
    hot_ = false;
    Repaint();
    if (Inside(lParam)) {
        Click();
    } else {
        mouseInside_ = false;  // it is gone: coming back is an enter again
    }
}

LRESULT TFlatButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(Handle(), &paint);
        PaintBuffered(dc);
        EndPaint(Handle(), &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    // The system button would paint itself at once on these: only its own
    // bookkeeping is kept, and the flat look is painted again.
    case WM_SETTEXT:
    case WM_UPDATEUISTATE: {
        LRESULT result = DefWindowProcW(Handle(), message, wParam, lParam);
        Repaint();
        return result;
    }
    case BM_SETSTATE:
    case BM_SETSTYLE:
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    case BM_CLICK:  // the dialog manager's mnemonics, and programs driving the window
        if (Enabled()) Click();
        return 0;
    case WM_MOUSEMOVE:
        MouseMoved(lParam);
        return 0;
    case WM_MOUSELEAVE:
        mouseInside_ = false;
        if (Enabled() && !capturing_) {
            hot_ = false;
            Repaint();
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ButtonDown();
        return 0;
    case WM_LBUTTONUP:
        ButtonUp(lParam);
        return 0;
    case WM_CAPTURECHANGED:
        // Capture taken away (a menu, another window): the press is off.
        if (capturing_ && reinterpret_cast<HWND>(lParam) != Handle()) {
            capturing_ = false;
            hot_ = false;
            SetState(TFlatButtonState::Up);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam != VK_SPACE) break;
        SetState(TFlatButtonState::Pressed);
        return 0;
    case WM_KEYUP:
        if (wParam != VK_SPACE) break;
        state_ = TFlatButtonState::Up;
        Click();
        Repaint();
        return 0;
    case WM_SETFOCUS:
        if (Enabled()) {
            focused_ = true;
            Repaint();
        }
        return 0;
    case WM_KILLFOCUS:
        focused_ = false;
        Repaint();
        return 0;
    case WM_ENABLE:
        if (!wParam) {
            hot_ = false;
            state_ = TFlatButtonState::Disabled;
        }
        Repaint();
        return 0;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

void TFlatButton::PaintBuffered(HDC dc) {
    TSize size = ClientSize();
    if (size.Width <= 0 || size.Height <= 0) return;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, size.Width, size.Height);
    HGDIOBJ original = SelectObject(memory, bitmap);
    {
        GdiCanvas canvas(memory);
        Render(canvas);
    }
    BitBlt(dc, 0, 0, size.Width, size.Height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, original);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void TFlatButton::Render(Canvas& canvas) {
    if (!Enabled()) {
        state_ = TFlatButtonState::Disabled;
        hot_ = false;
    } else if (state_ == TFlatButtonState::Disabled) {
        state_ = TFlatButtonState::Up;
    }
    TSize size = ClientSize();
    TRect client{0, 0, size.Width, size.Height};

    TColor background = Color;
    if (state_ == TFlatButtonState::Up && hot_) background = ColorFocused;
    if (state_ == TFlatButtonState::Pressed) background = ColorDown;
    canvas.SetBrushColor(background);
    canvas.FillRect(client);

    switch (state_) {
    case TFlatButtonState::Up:
        if (hot_)
            Frame(canvas, client, ColorShadow);
        else if (!DisableBorder)
            Frame(canvas, client, ColorBorder);
        break;
    case TFlatButtonState::Disabled:
        if (!DisableBorder) Frame(canvas, client, ColorBorder);
        break;
    case TFlatButtonState::Pressed:
        if (!DisableBorder) Frame(canvas, client, ColorShadow);
        break;
    }
    if (focused_ && !DisableBorder) {
        Frame(canvas, client.Inflated(-kFocusInset), ColorBorder);
        Frame(canvas, client, ColorShadow);
        Frame(canvas, client.Inflated(-1), ColorShadow);
    }

    TFontSpec font = Font();
    if (state_ == TFlatButtonState::Disabled)
        font.Color = clBtnShadow;
    else if (hot_ && DisableBorder)
        font.Color = kHotCaptionWithoutBorder;
    canvas.SetFont(font);
    canvas.SetBrushColor(clNone);
    std::string caption = Caption();
    TSize extent = canvas.TextExtent(WithoutAccelerator(caption));
    int left = (size.Width - extent.Width) / 2, top = (size.Height - extent.Height) / 2;
    canvas.DrawText(caption, {left, top, left + extent.Width + 1, top + extent.Height}, tfSingleLine);
}

// The caption is centred; it must stay inside the focus outline.
std::optional<TextRoom> TFlatButton::MeasureText(Canvas& canvas) {
    canvas.SetFont(Font());
    TSize size = ClientSize();
    return TextRoom{TRect{0, 0, size.Width, size.Height}.Inflated(-kFocusInset), canvas.TextExtent(WithoutAccelerator(Caption()))};
}

}  // namespace brenvik
