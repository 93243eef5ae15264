#pragma once
#include <windows.h>

namespace brenvik {

// The three fonts of the crash-report dialogs, made when a dialog is
// initialised and deleted with it. The faces follow the user's ANSI code
// page: Western pages get "Verdana" and "Lucida Console" at 8 points, any
// other "MS Sans Serif" and "Courier New" at 10.
class TDialogFonts {
public:
    TDialogFonts();
    ~TDialogFonts();
    TDialogFonts(const TDialogFonts&) = delete;
    TDialogFonts& operator=(const TDialogFonts&) = delete;

    HFONT Caption() const { return caption_; }  // bold, the system caption's height
    HFONT Message() const { return message_; }  // the system's message font
    HFONT Fixed() const { return fixed_; }      // lists, memos and the request edit

private:
    HFONT caption_ = nullptr;
    HFONT message_ = nullptr;
    HFONT fixed_ = nullptr;
};

// Sets a control's font without redrawing it.
void SetControlFont(HWND dialog, int id, HFONT font);

}  // namespace brenvik
