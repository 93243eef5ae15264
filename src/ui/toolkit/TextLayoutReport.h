#pragma once
#include <windows.h>

#include <string>

namespace brenvik {

class TForm;

// How a form's texts sit in their controls, for tools outside the process
// that check nothing is cut off (the test driver): a line "dpi N", then for
// every visible control "control NAME PARENT L T R B" and, for those with
// text, "text NAME L T R B WIDTH HEIGHT": the room the control gives its
// text and what the text needs, measured as the control paints. Rectangles
// are in the form's client coordinates.
std::string TextLayoutReport(TForm& form);

// A window sends the form this registered message with its own handle in
// wParam; the form answers with the report in a WM_COPYDATA to that window.
bool IsTextLayoutRequest(UINT message);
void AnswerTextLayoutRequest(TForm& form, HWND requester);

}  // namespace brenvik
