#include "crash/intercept/ThrownObject.h"

#include <cxxabi.h>

#include <cstring>

#include "base/Exception.h"
#include "base/Text.h"
#include "crash/report/CrashTrace.h"

namespace brenvik {
namespace {

void CollectClassNames(const std::type_info& type, std::vector<std::string>& names) {
    names.push_back(ReadableClassName(type));
    if (const auto* single = dynamic_cast<const abi::__si_class_type_info*>(&type)) {
        CollectClassNames(*single->__base_type, names);
    } else if (const auto* multiple = dynamic_cast<const abi::__vmi_class_type_info*>(&type)) {
        for (unsigned i = 0; i < multiple->__base_count; ++i)
            CollectClassNames(*multiple->__base_info[i].__base_type, names);
    }
}

// The object as a `Catch`, when a handler for that class would catch it.
template <class Catch>
const Catch* CaughtAs(void* object, const std::type_info& type) {
    void* adjusted = object;
    if (!typeid(Catch).__do_catch(&type, &adjusted, 1)) return nullptr;
    return static_cast<const Catch*>(adjusted);
}

std::string WithoutNamespace(const std::string& name) {
    const std::size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

}  // namespace

TRaisedObject DescribeThrownObject(void* object, const std::type_info& type) {
    TRaisedObject raised;
    raised.Known = true;
    CollectClassNames(type, raised.ClassNames);
    raised.ClassName = raised.ClassNames.front();
    if (const Exception* exception = CaughtAs<Exception>(object, type)) {
        raised.Message = exception->Message;
        raised.IsAbort = CaughtAs<EAbort>(object, type) != nullptr;
    } else if (const std::exception* standard = CaughtAs<std::exception>(object, type)) {
        raised.Message = standard->what();
    }
    return raised;
}

const void* ExceptionObjectAddress(const std::exception_ptr& error) {
    // The runtime's exception pointer is exactly the address of the thrown object.
    static_assert(sizeof(std::exception_ptr) == sizeof(void*));
    const void* object = nullptr;
    std::memcpy(&object, &error, sizeof object);
    return object;
}

TRaisedObject DescribeException(const std::exception_ptr& error) {
    const std::type_info* type = error ? error.__cxa_exception_type() : nullptr;
    if (!type) return {};
    return DescribeThrownObject(const_cast<void*>(ExceptionObjectAddress(error)), *type);
}

bool ClassMatchesFilter(const TRaisedObject& object, const std::string& filter) {
    const std::size_t first = filter.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    const std::string_view wanted =
        std::string_view(filter).substr(first, filter.find_last_not_of(" \t") - first + 1);
    for (const std::string& name : object.ClassNames)
        if (SameTextAscii(name, wanted) || SameTextAscii(WithoutNamespace(name), wanted)) return true;
    return false;
}

}  // namespace brenvik
