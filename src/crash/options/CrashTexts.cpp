#include "crash/options/CrashTexts.h"

namespace brenvik {

const std::array<std::string, kCrashTextCount>& DefaultCrashTexts() {
    static const std::array<std::string, kCrashTextCount> texts = {
        // Message captions
        "Information.", "Question.",
        // Exception dialog
        "Error.",
        "An error has occurred during program execution.\r\nPlease read the following information for further details.",
        "General", "General Information", "Call Stack", "Call Stack Information", "Modules", "Modules Information",
        "CPU", "CPU Information", "&OK", "&Terminate", "&Restart", "&Details", "&Send this error via Email",
        "&Attach a Screenshot image", "&Copy to Clipboard",
        // Log header
        "Application", "Start Date", "Name/Description", "Version Number", "Parameters", "Exception", "Date",
        "Address", "Module", "Type", "Message", "Active Controls", "Form Class", "Form Text", "Control Class",
        "Control Text", "Computer", "Name", "User", "Total Memory", "Free Memory", "Total Disk", "Free Disk",
        "Operating System", "Type", "Build #", "Update", "Language",
        // Call stack columns
        "Address", "Module", "Unit", "Class", "Procedure/Method", "Line",
        // SMTP dialog
        "SMTP.", "Message", "Resolving MX record...", "Connecting with SMTP server...", "Connected with SMTP server.",
        "Sending message...",
        // Reproduce dialog
        "Request", "Please describe the steps to reproduce the error:", "&OK",
        // Modules list columns
        "Handle", "Name", "Description", "Version", "Size", "Path",
        // CPU page
        "Registers", "Stack", "Memory Dump",
    };
    return texts;
}

}  // namespace brenvik
