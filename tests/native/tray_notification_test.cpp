#include <gtest/gtest.h>

#include "ui/frame/TrayNotification.h"

namespace brenvik {
namespace {

class EventLog : public TrayEvents {
public:
    std::vector<std::string> log;
    void MouseDown(TMouseButton b, unsigned s, TPoint) override { Add("down", b, s); }
    void MouseUp(TMouseButton b, unsigned s, TPoint) override { Add("up", b, s); }
    void MouseMove(unsigned s, TPoint) override { log.push_back("move " + std::to_string(s)); }
    void Click(TMouseButton b, unsigned s, TPoint) override { Add("click", b, s); }
    void DblClick() override { log.push_back("dblclick"); }

private:
    void Add(const char* what, TMouseButton b, unsigned s) {
        log.push_back(std::string(what) + " " + std::to_string(static_cast<int>(b)) + " " + std::to_string(s));
    }
};

TEST(TrayNotification, LeftDoubleClickRaisesOneClickAndOneDoubleClick) {
    TrayNotificationDispatcher dispatcher;
    EventLog events;
    for (std::uint32_t n : {513u, 514u, 515u, 514u}) dispatcher.Handle(n, ssShift, {5, 5}, events);
    EXPECT_EQ(events.log, (std::vector<std::string>{"down 0 9", "click 0 9", "up 0 9", "down 0 65", "dblclick",
                                                    "up 0 9"}));
}

TEST(TrayNotification, ReleaseWithoutPressRaisesOnlyTheUpEvent) {
    TrayNotificationDispatcher dispatcher;
    EventLog events;
    dispatcher.Handle(517, 0, {}, events);
    dispatcher.Handle(516, 0, {}, events);
    dispatcher.ClearPressed();  // the icon was re-added in between
    dispatcher.Handle(517, 0, {}, events);
    dispatcher.Handle(520, ssCtrl, {}, events);
    dispatcher.Handle(600, 0, {}, events);  // unknown notifications are ignored
    EXPECT_EQ(events.log, (std::vector<std::string>{"up 1 16", "down 1 16", "up 1 16", "up 2 36"}));
}

TEST(TrayNotification, TipIsTheShortHintCutToTheField) {
    EXPECT_EQ(TrayTip("Brenvik|Importuje kody", 127), "Brenvik");
    EXPECT_EQ(TrayTip(std::string(200, 'x'), 127).size(), 127u);
    EXPECT_EQ(TrayTip(std::string(200, 'x'), 63).size(), 63u);
    EXPECT_EQ(TrayTip("|only long", 127), "");
}

}  // namespace
}  // namespace brenvik
