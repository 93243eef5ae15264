#pragma once
// Reading and touching Brenvik's main window: its state, controls, pixels,
// buttons, hint panel and popup menu.

#include <string>
#include <vector>

#include "DriverBasics.h"

void PrintState(const Options& opt);
void PrintControls(const Options& opt);
void PrintFocus(const Options& opt);
// A dialog's caption and icon, with its static texts when asked.
void PrintDialogFace(HWND box, bool withTexts);
void AnswerDialog(const Options& opt, int buttonId);
// The ink of an area given as X Y W H in the words from `first` on.
void PrintInk(const Options& opt, const std::vector<std::wstring>& words, size_t first);
void Click(const Options& opt, const std::wstring& caption);
void HoverAt(const Options& opt, LONG x, LONG y);
void HoverButton(const Options& opt, const std::wstring& caption);
void PrintPopup(const Options& opt);
void PrintTooltips();
