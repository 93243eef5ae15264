#pragma once
#include <exception>
#include <optional>
#include <string>
#include <typeinfo>
#include <vector>

namespace brenvik {

// What the facility knows about a raised object without catching it.
struct TRaisedObject {
    bool Known = false;  // false for a system exception with no object
    std::string ClassName;
    // The class itself first, then every base class, as they filter.
    std::vector<std::string> ClassNames;
    // None when the object is not one of the program's exceptions (nor a standard one).
    std::optional<std::string> Message;
    bool IsAbort = false;
};

// Describes the object a throw is about to raise.
TRaisedObject DescribeThrownObject(void* object, const std::type_info& type);
// The same for a caught exception; an empty pointer gives an unknown object.
TRaisedObject DescribeException(const std::exception_ptr& error);
// Address of the object an exception pointer holds: the one the throw raised.
const void* ExceptionObjectAddress(const std::exception_ptr& error);

// True when the class or one of its bases carries the filter's name, written
// fully qualified or without its namespace, in any letter case.
bool ClassMatchesFilter(const TRaisedObject& object, const std::string& filter);

}  // namespace brenvik
