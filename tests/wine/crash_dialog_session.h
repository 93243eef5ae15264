#pragma once
#include <functional>
#include <string>

#include "crash/dialog/ExceptionDialog.h"

namespace brenvik::dialogtest {

// Shows the exception dialog on this thread while `drive` works it from a
// driver thread. Whatever the driver leaves open is closed afterwards, so a
// failed expectation never leaves the test waiting on a dialog.
TExceptionDialogChoices RunExceptionDialog(const TExceptionDialogInput& input, const std::function<void()>& drive);

// "Crashlog.ini" in the Windows folder of the test's own prefix.
std::string PositionFilePath();
std::string ReadPosition(const std::string& key);
void WritePosition(const std::string& key, int value);

std::wstring Wide(const std::string& text);

}  // namespace brenvik::dialogtest
