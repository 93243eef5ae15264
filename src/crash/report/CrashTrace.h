#pragma once
#include <concepts>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "crash/report/CrashSystemInfo.h"

namespace brenvik {

// C++ class name of a type as written in the source ("brenvik::TFoo").
std::string ReadableClassName(const std::type_info& type);

// One argument of a trace line, rendered by its type when it is built.
class TTraceArg {
public:
    template <std::integral T>
    TTraceArg(T value) : text_(std::to_string(value)) {}
    TTraceArg(bool value) : text_(value ? "True" : "False") {}
    TTraceArg(char value) : text_(1, value) {}
    TTraceArg(double value);
    TTraceArg(const char* value) : text_(Quoted(value ? value : "")) {}
    TTraceArg(std::string_view value) : text_(Quoted(value)) {}
    TTraceArg(const std::string& value) : text_(Quoted(value)) {}
    TTraceArg(const void* pointer);
    TTraceArg(std::nullptr_t) : text_("nil") {}

    // An object shows its class name.
    template <class T>
    static TTraceArg Object(const T* object) {
        return TTraceArg(Rendered{}, object ? ReadableClassName(typeid(*object)) : "nil");
    }
    // A currency amount in ten-thousandths.
    static TTraceArg Currency(std::int64_t tenThousandths);
    static TTraceArg Unknown() { return TTraceArg(Rendered{}, "Unknown"); }

    const std::string& Text() const { return text_; }

private:
    struct Rendered {};
    TTraceArg(Rendered, std::string text) : text_(std::move(text)) {}
    static std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

    std::string text_;
};

// The facility's own diagnostic trace: timestamped, indented lines about
// what it did, kept in memory and written to the program's ".log" file.
class TCrashTrace {
public:
    using Clock = std::function<TCrashDateTime()>;

    // The trace file is the program's file name with the extension ".log".
    TCrashTrace(const std::string& programFileName, Clock clock);

    // Switched on by the development host or by "DEBUG" in the last
    // command-line parameter; "SAVE" there writes the file after every line.
    void ConfigureAtStart(bool developmentHost, std::string_view lastParameter);
    // A debugger switches the trace on, but does not make it saved.
    void EnableForDebugger();
    bool Enabled() const;

    // Entry of an operation with indentChange 2, its exit with -2.
    void Trace(std::string_view section, std::initializer_list<TTraceArg> arguments = {}, int indentChange = 0);
    // A ready-made line (warnings, internal errors), timestamped like the others.
    void AddLine(std::string_view text);
    // Writes the file when the trace was asked for at start.
    void Save();
    // After an internal error the trace is written whenever it is on.
    void SaveAfterInternalError();

    const std::string& FileName() const { return fileName_; }
    std::vector<std::string> Lines() const;

private:
    void AddLocked(std::string line);
    void WriteLocked() const;

    mutable std::mutex mutex_;
    std::string fileName_;
    Clock clock_;
    std::vector<std::string> lines_;
    std::string indent_;
    bool enabled_ = false;
    bool enabledAtStart_ = false;
    bool saveEachLine_ = false;
};

}  // namespace brenvik
