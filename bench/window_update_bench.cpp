// Times the work an import does on Brenvik's own window after each code: the
// option reads, the progress caption and one pass of the message pump, on the
// real main window (HostWindow) under the session's X display.
//
// usage: window_update_bench
// Prints "window_update_us <median microseconds per code>".

#include <windows.h>

#include <commctrl.h>

#include "Measure.h"
#include "app/HostWindow.h"
#include "app/Texts.h"
#include "base/Text.h"

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    brenvik::HostWindow window(GetModuleHandleW(nullptr));
    window.Show(SW_SHOWNOACTIVATE);
    window.ProcessMessages();

    int imported = 0;
    PrintMicrosecondsPerCall("window_update_us", 5, 1000, [] {}, [&] {
        window.CutOption();
        window.IgnoreOption();
        window.SetCaption(brenvik::FormatInts(brenvik::LoadText(brenvik::kTextImportProgress), {++imported}));
        window.ProcessMessages();
    });
    return 0;
}
