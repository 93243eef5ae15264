// Times the work an import does on Brenvik's own window after each code: the
// option reads, the progress caption and one pass of the message pump, on the
// program's real main window, set up as WinMain sets it up, under the
// session's X display.
//
// usage: window_update_bench
// Prints "window_update_us <median microseconds per code>".

#include <windows.h>

#include <commctrl.h>

#include "Measure.h"
#include "app/TFormMain.h"
#include "app/Texts.h"
#include "base/Text.h"
#include "ui/frame/TMarkupLabelControl.h"
#include "ui/toolkit/TApplication.h"

int main() {
    using namespace brenvik;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    TApplication::Instance().Initialize();
    RegisterFrameControls();
    TFormMain4D643DD6BD8E447C9291EEDF0A10BE65 form(nullptr);
    form.AfterConstruction();
    form.Show();
    ImportHost& host = form;  // what the import calls
    host.ProcessMessages();

    int imported = 0;
    PrintMicrosecondsPerCall("window_update_us", 5, 1000, [] {}, [&] {
        host.CutOption();
        host.IgnoreOption();
        host.SetCaption(FormatInts(LoadText(kTextImportProgress), {++imported}));
        host.ProcessMessages();
    });
    form.BeforeDestruction();
    return 0;
}
