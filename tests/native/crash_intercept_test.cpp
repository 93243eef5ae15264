// What the interception reads from a thrown object, and the stack copy.
#include <gtest/gtest.h>

#include <cstring>

#include "base/Exception.h"
#include "crash/intercept/StackSnapshot.h"
#include "crash/intercept/ThrownObject.h"

namespace brenvik {
namespace {

class EDerivedConvert : public EConvertError {
public:
    using EConvertError::EConvertError;
};

struct NotAnException {
    int Code = 7;
};

class Mixin {
public:
    virtual ~Mixin() = default;
    int Padding = 1;
};
// The exception base is not the first base: the object must be adjusted.
class ESecondBase : public Mixin, public Exception {
public:
    ESecondBase() : Exception("second base") {}
};

template <class T>
TRaisedObject Describe(T object) {
    return DescribeThrownObject(&object, typeid(T));
}

TEST(ThrownObject, ReadsMessageAndBaseClassesOfEveryKindOfObject) {
    const TRaisedObject derived = Describe(EDerivedConvert("'x' is not a valid integer value"));
    EXPECT_EQ(derived.ClassName, "brenvik::(anonymous namespace)::EDerivedConvert");
    EXPECT_EQ(derived.Message, "'x' is not a valid integer value");
    EXPECT_FALSE(derived.IsAbort);
    EXPECT_TRUE(ClassMatchesFilter(derived, "EConvertError"));
    EXPECT_TRUE(ClassMatchesFilter(derived, " econverterror "));
    EXPECT_TRUE(ClassMatchesFilter(derived, "brenvik::Exception"));
    EXPECT_FALSE(ClassMatchesFilter(derived, "EAbort"));
    EXPECT_FALSE(ClassMatchesFilter(derived, "  "));

    EXPECT_TRUE(Describe(EAbort()).IsAbort);
    EXPECT_EQ(Describe(std::out_of_range("vector")).Message, "vector");
    EXPECT_EQ(Describe(ESecondBase()).Message, "second base");

    const TRaisedObject foreign = Describe(NotAnException{});
    EXPECT_TRUE(foreign.Known);
    EXPECT_FALSE(foreign.Message.has_value());
    EXPECT_FALSE(Describe(42).Message.has_value());
}

TEST(ThrownObject, ACaughtExceptionIsTheObjectTheThrowRaised) {
    try {
        throw EConvertError("bad");
    } catch (const EConvertError& caught) {
        const std::exception_ptr error = std::current_exception();
        EXPECT_EQ(ExceptionObjectAddress(error), &caught);
        EXPECT_EQ(DescribeException(error).Message, "bad");
    }
    EXPECT_FALSE(DescribeException(nullptr).Known);
}

class FakeMemory : public ProcessMemory {
public:
    bool IsReadable(CrashAddress address, std::size_t size) const override {
        return address >= 0x1000 && address + size <= 0x2000;
    }
    bool Read(CrashAddress address, void* buffer, std::size_t size) const override {
        if (!IsReadable(address, size)) return false;
        std::memset(buffer, 0xEE, size);
        return true;
    }
};

TEST(StackSnapshot, ReadsInsideTheCopyComeFromItAndOthersFromLiveMemory) {
    TStackSnapshot snapshot;
    snapshot.Base = 0x5000;
    snapshot.Bytes = {1, 2, 3, 4, 5, 6, 7, 8};
    FakeMemory live;
    SnapshotMemory memory(snapshot, live);

    std::uint8_t bytes[4] = {};
    ASSERT_TRUE(memory.Read(0x5004, bytes, 4));
    EXPECT_EQ(bytes[0], 5);
    EXPECT_EQ(bytes[3], 8);
    // Past the copy's end, and across it, the live memory answers (here: none).
    EXPECT_FALSE(memory.IsReadable(0x5006, 4));
    EXPECT_FALSE(memory.Read(0x5008, bytes, 1));
    ASSERT_TRUE(memory.Read(0x1800, bytes, 2));
    EXPECT_EQ(bytes[0], 0xEE);

    const TStackSnapshot empty;
    EXPECT_FALSE(SnapshotMemory(empty, live).IsReadable(0x5000, 1));
}

}  // namespace
}  // namespace brenvik
