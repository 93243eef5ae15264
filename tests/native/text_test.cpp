#include <gtest/gtest.h>

#include "base/Text.h"

namespace brenvik {
namespace {

TEST(Text, FormatsPlaceholdersInOrder) {
    EXPECT_EQ(FormatInts("Zaimportowano %d kod(\xf3w) z czego %d odrzucono.", {9, 2}),
              "Zaimportowano 9 kod(\xf3w) z czego 2 odrzucono.");
    EXPECT_EQ(FormatInts("%d%d", {10, 1}), "101");  // a number's digits are never read as a placeholder
}

TEST(Text, CaselessComparisons) {
    EXPECT_TRUE(SameTextCp1250("\xa3\xd3\xaf" "KO", "\xb3\xf3\xbf" "ko"));  // ŁÓŻKO / łóżko
    EXPECT_FALSE(SameTextCp1250("COM1", "COM10"));
    EXPECT_TRUE(SameTextAscii("ack\r", "ACK\r"));
    EXPECT_FALSE(SameTextAscii("\xa3", "\xb3"));  // only A to Z fold
}

TEST(Text, ParsesIntegersStrictly) {
    int value = 0;
    EXPECT_TRUE(TryParseInt32("12", value));
    EXPECT_EQ(value, 12);
    EXPECT_TRUE(TryParseInt32("  -2147483648", value));
    EXPECT_EQ(value, -2147483647 - 1);
    EXPECT_TRUE(TryParseInt32("$1F", value));
    EXPECT_EQ(value, 31);
    for (const char* bad : {"abc", "", "12x", "2147483648", "-", "1 "}) EXPECT_FALSE(TryParseInt32(bad, value)) << bad;
}

}  // namespace
}  // namespace brenvik

#include "app/CommandLine.h"

namespace brenvik {
namespace {

TEST(CommandLine, TraySwitchInAnyCaseAndPosition) {
    for (const char* hidden : {"/tray", "/TRAY", "/Tray"}) EXPECT_TRUE(HasTraySwitch({hidden})) << hidden;
    for (const char* visible : {"-tray", "tray", "/tray2", "//tray", ""}) EXPECT_FALSE(HasTraySwitch({visible})) << visible;
    EXPECT_TRUE(HasTraySwitch({"x", "y", "/tray", "z"}));
    EXPECT_FALSE(HasTraySwitch({}));
}

}  // namespace
}  // namespace brenvik
