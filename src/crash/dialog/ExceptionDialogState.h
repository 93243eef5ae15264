#pragma once
#include <windows.h>

#include <array>
#include <memory>

#include "crash/dialog/DialogFonts.h"
#include "crash/dialog/DialogGeometry.h"
#include "crash/dialog/ExceptionDialog.h"

namespace brenvik {

// One showing of the exception dialog: what the dialog procedure and its tab
// pages share. Made before the dialog is created and dropped after it ended.
struct TExceptionDialogState {
    TExceptionDialogState(const TExceptionDialogInput& input, TExceptionDialogChoices& choices)
        : Input(input), Choices(choices) {}
    ~TExceptionDialogState();
    TExceptionDialogState(const TExceptionDialogState&) = delete;
    TExceptionDialogState& operator=(const TExceptionDialogState&) = delete;

    const TExceptionDialogInput& Input;
    TExceptionDialogChoices& Choices;
    HINSTANCE Module = nullptr;

    bool Painted = false;
    bool Details = false;
    bool SendVisible = false;
    int BottomBand = 20;
    // The details view's last normal-state geometry; saved only once a width is known.
    TDetailsGeometry Remembered;
    bool HaveRememberedSize = false;

    std::unique_ptr<TDialogFonts> Fonts;
    HBRUSH GreyBrush = nullptr;
    HBRUSH WhiteBrush = nullptr;
    // "DLL", "BPL", "VCL", "PAS": the list images; then "MONITOR".
    std::array<HBITMAP, 4> ListBitmaps{};
    HBITMAP Monitor = nullptr;

    HWND Page = nullptr;  // the one tab page that exists
    int PageIndex = 0;

    const std::string& Text(int index) const { return Input.Options.GetText(index); }
    bool Flat() const { return Input.Options.FlatDialogLook(); }
};

// Tab pages, created one at a time inside the tab control.
HWND CreateDialogPage(TExceptionDialogState& state, HWND tabControl, int index);
void PlaceDialogPage(HWND page, HWND tabControl);

}  // namespace brenvik
