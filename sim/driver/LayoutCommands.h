#pragma once
// What the main window says of its own layout: how its texts sit in their
// controls, measured inside Brenvik as the controls paint them.

#include "DriverBasics.h"

// Prints Brenvik's text layout report, one line per line of it.
void PrintTextLayout(const Options& opt);
