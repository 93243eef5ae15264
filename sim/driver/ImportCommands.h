#pragma once
// Imports through Brenvik's main window, answering its message boxes.

#include "DriverBasics.h"

// Clicks the import button and follows the import to its end.
void Import(const Options& opt);

// Follows an import started some other way (the tray menu) to its end.
void FollowImportStartedElsewhere(const Options& opt);
