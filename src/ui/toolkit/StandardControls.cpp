#include "ui/toolkit/StandardControls.h"

#include <commctrl.h>

#include <algorithm>

#include "base/Exception.h"
#include "base/Text.h"
#include "platform/Cp1250.h"
#include "platform/GdiCanvas.h"
#include "ui/canvas/CanvasShapes.h"
#include "ui/style/AcceleratorText.h"
#include "ui/toolkit/Scaling.h"
#include "ui/toolkit/TApplication.h"
#include "ui/toolkit/TEditStyleController.h"

namespace brenvik {
namespace {

// In design pixels, as the system's own check box at 96 per inch.
constexpr int kCheckBoxSize = 13;
constexpr int kCheckBoxTextGap = 4;

}  // namespace

void RegisterStandardControls() {
    TForm::RegisterKind("TPanel", [](TComponent* owner) { return new TPanel(owner); });
    TForm::RegisterKind("TButton", [](TComponent* owner) { return new TButton(owner); });
    TForm::RegisterKind("TCheckBox", [](TComponent* owner) { return new TCheckBox(owner); });
    TForm::RegisterKind("TSpinEdit", [](TComponent* owner) { return new TSpinEdit(owner); });
    TForm::RegisterKind("TPickList", [](TComponent* owner) { return new TPickList(owner); });
    TForm::RegisterKind("TEditStyleController", [](TComponent* owner) { return new TEditStyleController(owner); });
}

TWinControl::CreateParams TButton::GetCreateParams() { return NativeControlParams(WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP); }

void TButton::Click() {
    if (TForm* form = OwnerForm(); form && ModalResult != mrNone) form->ModalResult = ModalResult;
    TWinControl::Click();
}

void TButton::CommandNotify(WORD code) {
    if (code == BN_CLICKED) Click();
}

void TButton::ApplyProperty(const DesignProperty& property, TForm& form) {
    if (property.Name == "ModalResult")
        ModalResult = ParseInt(property.Value);
    else
        TWinControl::ApplyProperty(property, form);
}

void TEntryControl::ApplyProperty(const DesignProperty& property, TForm& form) {
    if (property.Name != "StyleController") return TWinControl::ApplyProperty(property, form);
    styleControllerName_ = property.Value;
    styleController_ = nullptr;
}

TEditStyleController* TEntryControl::StyleController() const {
    if (!styleController_ && !styleControllerName_.empty()) {
        TForm* form = OwnerForm();
        styleController_ = form ? dynamic_cast<TEditStyleController*>(form->FindComponent(styleControllerName_)) : nullptr;
        if (!styleController_) throw Exception(Name + ": style controller " + styleControllerName_ + " not found");
    }
    return styleController_;
}

TColor TEntryControl::BorderColor() const {
    TEditStyleController* controller = StyleController();
    return (controller ? *controller : TEditStyleController::Plain()).Border(MouseInControl());
}

void TEntryControl::RepaintLook() {
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

TWinControl::CreateParams TCheckBox::GetCreateParams() { return NativeControlParams(WC_BUTTONW, BS_CHECKBOX | WS_TABSTOP); }

void TCheckBox::HandleCreated() { SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0); }

void TCheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnChange) OnChange(this);
}

void TCheckBox::CommandNotify(WORD code) {
    if (code != BN_CLICKED) return;
    SetChecked(!checked_);
    Click();
}

TCheckBox::Layout TCheckBox::LayOut(Canvas& canvas) {
    TSize client = ClientSize();
    int box = ScaleToScreen(kCheckBoxSize);
    canvas.SetFont(Font());
    TSize text = canvas.TextExtent(WithoutAccelerator(Caption()));
    int textLeft = box + ScaleToScreen(kCheckBoxTextGap), boxTop = (client.Height - box) / 2,
        textTop = (client.Height - text.Height) / 2;
    return {{0, boxTop, box, boxTop + box}, {textLeft, textTop, textLeft + text.Width, textTop + text.Height}};
}

void TCheckBox::PaintFlat(Canvas& canvas) {
    TSize client = ClientSize();
    Layout layout = LayOut(canvas);
    canvas.SetBrushColor(Parent() ? Parent()->Color : Color);
    canvas.FillRect({0, 0, client.Width, client.Height});
    bool pushed = (SendMessageW(Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    canvas.SetBrushColor(Enabled() && !pushed ? clWindow : clBtnFace);
    canvas.SetPen(BorderColor(), 1);
    canvas.Rectangle(layout.Box);
    TColor ink = Enabled() ? clWindowText : clBtnShadow;
    if (SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED) {
        // A tick drawn in the box's own scale: from the left middle down, then up to the right.
        auto at = [&](int x, int y) {
            return TPoint{layout.Box.Left + MulDiv(x, layout.Box.Width(), kCheckBoxSize),
                          layout.Box.Top + MulDiv(y, layout.Box.Height(), kCheckBoxSize)};
        };
        TPoint tick[] = {at(3, 6), at(5, 8), at(10, 3)};
        canvas.SetPen(ink, std::max(1, ScaleToScreen(2)));
        canvas.Polyline(tick);
    }
    TFontSpec font = Font();
    font.Color = Enabled() ? font.Color : clBtnShadow;
    canvas.SetFont(font);
    canvas.SetBrushColor(clNone);
    canvas.DrawText(Caption(), {layout.Text.Left, layout.Text.Top, layout.Text.Right + 1, layout.Text.Bottom},
                    tfSingleLine);
    if (GetFocus() == Handle()) canvas.DrawFocusRect(layout.Text.Inflated(1));
}

// Custom draw lets the button keep all its behaviour; only what it paints is ours.
bool TCheckBox::NotifyReflected(NMHDR& header, LRESULT& result) {
    if (header.code != NM_CUSTOMDRAW) return false;
    auto& draw = reinterpret_cast<NMCUSTOMDRAW&>(header);
    if (draw.dwDrawStage != CDDS_PREERASE && draw.dwDrawStage != CDDS_PREPAINT) return false;
    GdiCanvas canvas(draw.hdc);
    PaintFlat(canvas);
    result = CDRF_SKIPDEFAULT;
    return true;
}

// Without custom draw (version 5 of the common controls) the flat box is
// painted here, and again at once after each message on which the native
// button paints straight onto the screen.
LRESULT TCheckBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(Handle(), &paint);
        {
            GdiCanvas canvas(dc);
            PaintFlat(canvas);
        }
        EndPaint(Handle(), &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        if (GetCapture() != Handle()) break;
        [[fallthrough]];
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CAPTURECHANGED: {
        LRESULT result = TEntryControl::WndProc(message, wParam, lParam);
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return result;
    }
    }
    return TEntryControl::WndProc(message, wParam, lParam);
}

std::optional<TextRoom> TCheckBox::MeasureText(Canvas& canvas) {
    Layout layout = LayOut(canvas);
    TSize client = ClientSize();
    // The focus rectangle goes one pixel around the text.
    return TextRoom{{0, 0, client.Width, client.Height},
                    {layout.Text.Right + 1, std::max(layout.Box.Height(), layout.Text.Height() + 2)}};
}

void TCheckBox::ApplyProperty(const DesignProperty& property, TForm& form) {
    // While the design loads, the state is set without raising the change event.
    if (property.Name == "Checked") {
        checked_ = ParseBool(property.Value);
        if (HandleAllocated()) HandleCreated();
    } else if (property.Name == "OnChange") {
        OnChange = form.HandlerNamed(property.Value);
    } else {
        TEntryControl::ApplyProperty(property, form);
    }
}

TWinControl::CreateParams TSpinEdit::GetCreateParams() { return NativeControlParams(WC_EDITW, ES_NUMBER | WS_BORDER | WS_TABSTOP); }

int TSpinEdit::Clamp(int value) const { return value < MinValue ? MinValue : value > MaxValue ? MaxValue : value; }

TSpinEdit::~TSpinEdit() {
    if (spin_) RemoveWindowSubclass(spin_, ArrowsProc, 0);
}

void TSpinEdit::HandleCreated() {
    spin_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                            WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                            0, 0, 0, 0, GetParent(Handle()), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(spin_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
    SendMessageW(spin_, UDM_SETRANGE32, MinValue, MaxValue);
    SendMessageW(spin_, UDM_SETPOS32, 0, value_);
    EnableWindow(spin_, Enabled());
    SetWindowSubclass(spin_, ArrowsProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

// Whatever edge the native edit has is covered by the flat line: in the
// non-client area when it has one (a client edge), else over the border
// the edit draws on its own client area.
LRESULT TSpinEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NCPAINT && message != WM_PAINT) return TEntryControl::WndProc(message, wParam, lParam);
    RECT window, client;
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    bool nonClientEdge = window.right - window.left > client.right;
    if (message == WM_NCPAINT && nonClientEdge) {
        HDC dc = GetWindowDC(Handle());
        {
            GdiCanvas canvas(dc);
            TRect frame{0, 0, window.right - window.left, window.bottom - window.top};
            canvas.SetBrushColor(clNone);
            canvas.SetPen(BorderColor(), 1);
            canvas.Rectangle(frame);
            canvas.SetPen(Enabled() ? clWindow : clBtnFace, 1);
            for (int inset = 1; inset < (frame.Width() - client.right) / 2; ++inset) canvas.Rectangle(frame.Inflated(-inset));
        }
        ReleaseDC(Handle(), dc);
        return 0;
    }
    LRESULT result = TEntryControl::WndProc(message, wParam, lParam);
    if (message == WM_PAINT && !nonClientEdge) {
        HDC dc = GetDC(Handle());
        {
            GdiCanvas canvas(dc);
            canvas.SetBrushColor(clNone);
            canvas.SetPen(BorderColor(), 1);
            canvas.Rectangle({0, 0, client.right, client.bottom});
        }
        ReleaseDC(Handle(), dc);
    }
    return result;
}

void TSpinEdit::RepaintLook() {
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
    if (spin_) InvalidateRect(spin_, nullptr, FALSE);
}

// The arrows as two flat buttons sharing the edit's border colour, each
// with a triangle pointing its way.
void TSpinEdit::PaintArrows(HDC dc) {
    RECT client;
    GetClientRect(spin_, &client);
    GdiCanvas canvas(dc);
    TRect area{0, 0, client.right, client.bottom};
    canvas.SetBrushColor(clBtnFace);
    canvas.SetPen(BorderColor(), 1);
    canvas.Rectangle(area);
    int middle = area.Height() / 2;
    canvas.Line({0, middle}, {area.Width(), middle});
    canvas.SetBrushColor(Enabled() ? clWindowText : clBtnShadow);
    int half = std::max(2, area.Width() / 4), centre = area.Width() / 2;
    FillArrowhead(canvas, centre, (middle - half) / 2 + 1, half, true);
    FillArrowhead(canvas, centre, middle + (area.Height() - middle + half) / 2 - half, half, false);
}

LRESULT CALLBACK TSpinEdit::ArrowsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return DefSubclassProc(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    try {
        reinterpret_cast<TSpinEdit*>(self)->PaintArrows(dc);
    } catch (...) {
        TApplication::Instance().HandleException(std::current_exception());
    }
    EndPaint(window, &paint);
    return 0;
}

std::optional<TextRoom> TSpinEdit::MeasureText(Canvas& canvas) {
    RECT text{};
    SendMessageW(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    MapWindowPoints(Handle(), GetParent(Handle()), reinterpret_cast<POINT*>(&text), 2);
    canvas.SetFont(Font());
    return TextRoom{{text.left - Left(), text.top - Top(), text.right - Left(), text.bottom - Top()},
                    canvas.TextExtent(std::to_string(MaxValue))};
}

void TSpinEdit::BoundsChanged() {
    TWinControl::BoundsChanged();
    if (spin_) SendMessageW(spin_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
}

int TSpinEdit::Value() const {
    if (!HandleAllocated()) return value_;
    int typed = 0;
    return TryParseInt32(Caption(), typed) ? Clamp(typed) : MinValue;
}

void TSpinEdit::SetValue(int value) {
    value_ = Clamp(value);
    if (spin_) SendMessageW(spin_, UDM_SETPOS32, 0, value_);
}

void TSpinEdit::SetEnabled(bool enabled) {
    TWinControl::SetEnabled(enabled);
    if (spin_) EnableWindow(spin_, enabled);
}

void TSpinEdit::ApplyProperty(const DesignProperty& property, TForm& form) {
    if (property.Name == "MinValue")
        MinValue = ParseInt(property.Value);
    else if (property.Name == "MaxValue")
        MaxValue = ParseInt(property.Value);
    else if (property.Name == "Value")
        SetValue(ParseInt(property.Value));
    else
        TEntryControl::ApplyProperty(property, form);
}

TWinControl::CreateParams TPickList::GetCreateParams() { return NativeControlParams(WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP); }

void TPickList::SetItems(const std::vector<std::string>& items) {
    items_ = items;
    if (HandleAllocated()) HandleCreated();
}

LRESULT TPickList::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = TEntryControl::WndProc(message, wParam, lParam);
    if (message == WM_PAINT) PaintFlat();
    return result;
}

void TPickList::PaintFlat() {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(Handle(), &info)) return;
    HDC dc = GetDC(Handle());
    {
        GdiCanvas canvas(dc);
        TSize client = ClientSize();
        TRect all{0, 0, client.Width, client.Height};
        canvas.SetBrushColor(clNone);
        // The sunken edge gives way to one flat line; the field's colour fills the rest of it.
        canvas.SetPen(Enabled() ? clWindow : clBtnFace, 1);
        canvas.Rectangle(all.Inflated(-1));
        canvas.SetPen(BorderColor(), 1);
        canvas.Rectangle(all);
        bool pressed = (info.stateButton & STATE_SYSTEM_PRESSED) != 0;
        TRect button{info.rcButton.left, 1, client.Width - 1, client.Height - 1};
        canvas.SetBrushColor(pressed ? clBtnShadow : clBtnFace);
        canvas.FillRect(button);
        canvas.Line({button.Left - 1, 1}, {button.Left - 1, client.Height - 1});
        canvas.SetBrushColor(Enabled() ? clWindowText : clBtnShadow);
        int half = std::max(2, button.Width() / 4);
        FillArrowhead(canvas, (button.Left + button.Right) / 2, (client.Height - half) / 2, half, false);
    }
    ReleaseDC(Handle(), dc);
}

std::optional<TextRoom> TPickList::MeasureText(Canvas& canvas) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(Handle(), &info);
    canvas.SetFont(Font());
    const RECT& item = info.rcItem;
    return TextRoom{{item.left, item.top, item.right, item.bottom}, canvas.TextExtent(Caption())};
}

void TPickList::HandleCreated() {
    std::string text = Caption();
    SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
    for (const auto& item : items_)
        SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromCp1250(item).c_str()));
    SetWindowTextW(Handle(), WideFromCp1250(text).c_str());
}

}  // namespace brenvik
