#include "ui/frame/TrayNotification.h"

#include "ui/toolkit/Hints.h"

namespace brenvik {
namespace {

enum Notification : std::uint32_t {
    kMouseMove = 512, kLeftDown, kLeftUp, kLeftDouble, kRightDown, kRightUp, kRightDouble,
    kMiddleDown, kMiddleUp, kMiddleDouble
};

}  // namespace

void TrayNotificationDispatcher::Handle(std::uint32_t notification, unsigned keyboard, TPoint at,
                                        TrayEvents& events) {
    using enum TMouseButton;
    switch (notification) {
    case kMouseMove: events.MouseMove(keyboard, at); break;
    case kLeftDown:
        events.MouseDown(mbLeft, keyboard | ssLeft, at);
        leftPressed_ = true;
        break;
    case kLeftUp:
        if (leftPressed_) {
            leftPressed_ = false;
            events.Click(mbLeft, keyboard | ssLeft, at);
        }
        events.MouseUp(mbLeft, keyboard | ssLeft, at);
        break;
    case kLeftDouble:
        events.MouseDown(mbLeft, keyboard | ssDouble, at);
        events.DblClick();
        break;
    case kRightDown:
        events.MouseDown(mbRight, keyboard | ssRight, at);
        rightPressed_ = true;
        break;
    case kRightUp:
        if (rightPressed_) {
            rightPressed_ = false;
            events.Click(mbRight, keyboard | ssRight, at);
        }
        events.MouseUp(mbRight, keyboard | ssRight, at);
        break;
    case kRightDouble: events.MouseDown(mbRight, keyboard | ssDouble, at); break;
    case kMiddleDown: events.MouseDown(mbMiddle, keyboard | ssMiddle, at); break;
    case kMiddleUp: events.MouseUp(mbMiddle, keyboard | ssMiddle, at); break;
    case kMiddleDouble: events.MouseDown(mbMiddle, keyboard | ssDouble, at); break;
    default: break;
    }
}

std::string TrayTip(const std::string& hint, size_t capacity) { return ShortHint(hint).substr(0, capacity); }

}  // namespace brenvik
