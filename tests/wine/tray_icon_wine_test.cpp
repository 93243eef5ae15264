// The tray icon against Wine's notification area: the callback messages the
// shell sends are posted to the icon's window as the shell would.
#include <gtest/gtest.h>
#include <windows.h>

#include "ui/frame/TTrayIcon.h"
#include "ui/toolkit/TApplication.h"

namespace brenvik {
namespace {

class TrayIconWineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { TApplication::Instance().Initialize(); }
    void Notify(TTrayIcon& icon, UINT notification) {
        SendMessageW(icon.WindowHandle(), TTrayIcon::kCallbackMessage, 0, notification);
    }
    TComponent owner{nullptr};
};

TEST_F(TrayIconWineTest, IconIsAddedWithTheStockPictureAndRemovedWhenInactive) {
    TTrayIcon icon(&owner);
    EXPECT_TRUE(icon.IconAdded());
    icon.SetActive(false);
    EXPECT_FALSE(icon.IconAdded());
    icon.SetActive(true);
    EXPECT_TRUE(icon.IconAdded());
    icon.SetIcon(nullptr);  // an empty picture takes the icon away
    EXPECT_FALSE(icon.IconAdded());
}

TEST_F(TrayIconWineTest, DoubleClickPrefersAnEnabledDefaultMenuItem) {
    TTrayIcon icon(&owner);
    TPopupMenu menu(&owner);
    std::vector<std::string> events;
    TMenuItem* open = menu.Add("pmOpen", "&Otw\xf3rz", [&](TObject*) { events.push_back("default item"); });
    open->Default = true;
    icon.SetPopupMenu(&menu);
    icon.OnDblClick = [&](TObject*) { events.push_back("double click"); };
    icon.OnClick = [&](TObject*, TMouseButton, unsigned, int, int) { events.push_back("click"); };
    for (UINT n : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) Notify(icon, n);
    EXPECT_EQ(events, (std::vector<std::string>{"click", "default item"}));

    events.clear();
    open->Enabled = false;
    Notify(icon, WM_LBUTTONDBLCLK);
    EXPECT_EQ(events, std::vector<std::string>{"double click"});
}

TEST_F(TrayIconWineTest, RightClickWithoutAMenuRaisesClick) {
    TTrayIcon icon(&owner);
    auto* menu = new TPopupMenu(&owner);
    icon.SetPopupMenu(menu);
    delete menu;  // the icon is told and forgets it
    EXPECT_EQ(icon.PopupMenu(), nullptr);
    std::vector<TMouseButton> clicks;
    icon.OnClick = [&](TObject*, TMouseButton button, unsigned, int, int) { clicks.push_back(button); };
    Notify(icon, WM_RBUTTONDOWN);
    Notify(icon, WM_RBUTTONUP);
    EXPECT_EQ(clicks, std::vector<TMouseButton>{TMouseButton::mbRight});
}

}  // namespace
}  // namespace brenvik
