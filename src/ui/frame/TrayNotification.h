#pragma once
#include <cstdint>
#include <string>

#include "ui/canvas/Geometry.h"

namespace brenvik {

enum class TMouseButton { mbLeft = 0, mbRight = 1, mbMiddle = 2 };
enum TShiftFlag : unsigned {
    ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64
};

// What the tray icon raises for the mouse notifications the shell sends.
class TrayEvents {
public:
    virtual ~TrayEvents() = default;
    virtual void MouseDown(TMouseButton button, unsigned shift, TPoint at) = 0;
    virtual void MouseUp(TMouseButton button, unsigned shift, TPoint at) = 0;
    virtual void MouseMove(unsigned shift, TPoint at) = 0;
    virtual void Click(TMouseButton button, unsigned shift, TPoint at) = 0;
    virtual void DblClick() = 0;
};

// Turns the shell's callback notifications (WM_MOUSEMOVE … WM_MBUTTONDBLCLK
// values) into events. A click needs the press of the same button on the
// icon first; a double-click raises no second click.
class TrayNotificationDispatcher {
public:
    // keyboard: the shift, alt and ctrl part of the state at handling time.
    void Handle(std::uint32_t notification, unsigned keyboard, TPoint cursor, TrayEvents& events);
    void ClearPressed() { leftPressed_ = rightPressed_ = false; }

private:
    bool leftPressed_ = false;
    bool rightPressed_ = false;
};

// The tooltip: the hint's short part cut to what the tip field holds.
std::string TrayTip(const std::string& hint, size_t capacity);

}  // namespace brenvik
