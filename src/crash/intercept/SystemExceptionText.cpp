#include <windows.h>

#include <cstdio>

#include "crash/intercept/RaiseRecord.h"
#include "crash/report/ReportFormat.h"
#include "crash/win32/Win32CrashModule.h"

namespace brenvik {
namespace {

struct TSystemExceptionKind {
    DWORD Code;
    const char* ClassName;
    const char* Message;
};

constexpr TSystemExceptionKind kKinds[] = {
    {EXCEPTION_INT_DIVIDE_BY_ZERO, "EDivByZero", "Division by zero"},
    {EXCEPTION_INT_OVERFLOW, "EIntOverflow", "Integer overflow"},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, "ERangeError", "Range check error"},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, "EZeroDivide", "Floating point division by zero"},
    {EXCEPTION_FLT_OVERFLOW, "EOverflow", "Floating point overflow"},
    {EXCEPTION_FLT_UNDERFLOW, "EUnderflow", "Floating point underflow"},
    {EXCEPTION_FLT_INVALID_OPERATION, "EInvalidOp", "Invalid floating point operation"},
    {EXCEPTION_PRIV_INSTRUCTION, "EPrivilege", "Privileged instruction"},
    {EXCEPTION_ILLEGAL_INSTRUCTION, "EPrivilege", "Privileged instruction"},
    {EXCEPTION_STACK_OVERFLOW, "EStackOverflow", "Stack overflow"},
};

std::string ModuleNameAt(CrashAddress address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(address), &module))
        return {};
    const std::string path = ModuleFileName(module);
    return path.substr(path.find_last_of("\\/") + 1);
}

TRaisedObject Named(const char* className, std::string message) {
    TRaisedObject object;
    object.Known = true;
    object.ClassName = className;
    object.ClassNames = {className, "Exception"};
    object.Message = std::move(message);
    return object;
}

}  // namespace

TRaisedObject DescribeSystemException(const TRaiseRecord& record) {
    if (record.Code == EXCEPTION_ACCESS_VIOLATION) {
        const char* access = record.AccessKind == 1 ? "Write" : record.AccessKind == 8 ? "Execute" : "Read";
        return Named("EAccessViolation", "Access violation at address " + HexText(record.Address, kAddressDigits) +
                                             " in module '" + ModuleNameAt(record.Address) + "'. " + access +
                                             " of address " + HexText(record.AccessAddress, kAddressDigits));
    }
    for (const TSystemExceptionKind& kind : kKinds)
        if (kind.Code == record.Code) return Named(kind.ClassName, kind.Message);
    char code[16];
    std::snprintf(code, sizeof code, "%lX", static_cast<unsigned long>(record.Code));
    return Named("EExternalException", std::string("External exception ") + code);
}

}  // namespace brenvik
