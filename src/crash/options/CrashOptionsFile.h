#pragma once
#include <string>
#include <string_view>

#include "base/Exception.h"
#include "crash/options/TCrashModuleOptions.h"

namespace brenvik {

// The report options a program's maker gives at build time, as a text file
// that tools/cldata writes into the program's data block.
//
// One setting a line, Key=Value. Keys are matched regardless of case; spaces
// and tabs around the key and the value are dropped. Blank lines and lines
// whose first character is ";" are skipped; a ";" further on belongs to the
// value, as recipient lists need it. A key given twice keeps its last value;
// a key not given keeps the value the options had. The file is Windows-1250
// and values are taken byte for byte.
//
// Switches, 0/1 or false/true:
//   ProjectEnabled UseFilter SkipDuplicates AskReproduceSteps ShowReport
//   ReportInBody SendWholeLog AttachScreenshot ShowSendProgress SaveLogFile
//   FlatDialogLook FreezeCheck TerminateButtonAfterErrors
// Numbers, decimal or 0x hexadecimal:
//   FreezeTimeout        0..2147483647 seconds; 0 switches freeze detection off
//   MaxLogEntries        1..2147483647 reports kept in the log file
//   TerminateErrorCount  0..2147483647; more errors than this show the Terminate button
//   SmtpPort             1..65535
//   DialogStartTab       0..3: General, Call Stack, Modules, CPU
//   LogItems             0..0xFFFFFFFF, one bit per item of the report header
// Names or their numbers:
//   SendMode             none|client|smtp|direct (0..3): no mail, the mail
//                        client, an SMTP server, the recipients' own servers
//   TerminateAction      terminate|restart (0..1): what the Terminate button does
// Plain values:
//   MailRecipients (";" between addresses) MailSubject SmtpFrom SmtpServer
//   SmtpUser SmtpPassword OutputPath
// Texts, where "\n" stands for a line break (CR LF) and "\\" for a backslash;
// any other backslash is an error there:
//   FreezeMessage MailBody
//   Text0..Text70        the dialog and report texts, by DefaultCrashTexts index
//   Filter=Class|Message adds one filter pair: exceptions of Class are not
//                        reported, Message (optional) is shown instead

// Raised for an options file that cannot be read or holds a line that would
// give the program settings its maker did not mean.
class ECrashOptionsFileError : public Exception {
public:
    using Exception::Exception;
};

// Applies the lines of text; errors raise ECrashOptionsFileError with
// "fileName:line: problem". Lines before a bad one stay applied.
void ApplyCrashOptionsText(std::string_view text, const std::string& fileName, TCrashModuleOptions& options);

// Applies the file's lines; a file that cannot be read is an error as well.
void ApplyCrashOptionsFile(const std::string& fileName, TCrashModuleOptions& options);

}  // namespace brenvik
