#pragma once
#include <stdexcept>
#include <string>

namespace brenvik {

// Base class of every exception the program raises on purpose; reports show
// its Message.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message), Message(message) {}
    std::string Message;
};

// The silent abort: it stops an operation and is never reported.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

// Raised when a stored setting or registry value has a type the reader cannot use.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// Raised when a value cannot be converted or assigned to the requested kind.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace brenvik
