#pragma once
#include <string>

namespace cldata {

// A function's owner and name for the report: "brenvik::TSerialPort32" and
// "Open" from _ZN7brenvik13TSerialPort324OpenEv. C names and names that do
// not demangle have no owner.
struct QualifiedName {
    std::string Class;
    std::string Procedure;
};

QualifiedName SplitSymbolName(const std::string& linkedName);

}  // namespace cldata
