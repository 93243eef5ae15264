#include <gtest/gtest.h>

#include <vector>

#include "base/Exception.h"
#include "crash/web/IntraWebError.h"
#include "crash_report_fakes.h"

namespace brenvik {
namespace {

constexpr const char* kStyle =
    "<style>.BUTNOKCSS {position:absolute;left:8px;top:8px}.TEXTMESSAGECSS {position:absolute;left:8px;top:41px;"
    "FONT-FAMILY: Lucida Console,Courier}</style><title>Error</title>";

class CrashIntraWebTest : public ::testing::Test {
protected:
    CrashIntraWebTest() {
        hooks_.Application = &application_;
        hooks_.ServerController = &controller_;
        hooks_.HtmlHeaders = [this](void* controller) {
            EXPECT_EQ(controller, &controller_);
            return headersMissing_ ? nullptr : &headers_;
        };
        hooks_.ShowMessage = [this](void* application, const std::string& text, int kind) {
            EXPECT_EQ(application, &application_);
            if (showFails_) throw Exception("Session ended.");
            shown_.push_back(std::to_string(kind) + ":" + text);
        };
    }

    std::vector<std::string> Headers() const {
        std::vector<std::string> lines;
        for (int i = 0; i < headers_.Count(); ++i) lines.push_back(headers_[i].Text);
        return lines;
    }

    int application_ = 0, controller_ = 0;
    bool headersMissing_ = false, showFails_ = false;
    TStringList headers_;
    std::vector<std::string> shown_;
    TIntraWebHooks hooks_;
    testing::FakeMemory memory_;
    TCrashTrace trace_{"C:\\App\\Tool.exe", [] { return TCrashDateTime{}; }};
    TCrashFailureLog failures_{trace_, memory_};
};

TEST_F(CrashIntraWebTest, MessageGetsHardBlanksAndStyleBlockIsReplacedNotAdded) {
    headers_.Add("<meta a>");
    headers_.Add("<meta b>");
    EXPECT_TRUE(ShowIntraWebError(hooks_, "Error", "Access violation <at> 1", failures_));
    EXPECT_EQ(shown_, std::vector<std::string>{"2:Access&nbsp;violation&nbsp;&lt;at&gt;&nbsp;1"});
    const std::string block = std::string("<!--crashlog_start-->") + kStyle + "<!--crashlog_end-->";
    EXPECT_EQ(Headers(), (std::vector<std::string>{"<meta a>", "<meta b>" + block}));

    EXPECT_TRUE(ShowIntraWebError(hooks_, "Error", "Second", failures_));
    EXPECT_EQ(Headers(), (std::vector<std::string>{"<meta a>", "<meta b>" + block}));
    EXPECT_EQ(shown_.size(), 2u);
    EXPECT_EQ(failures_.LastErrorCode(), eeNone);
}

TEST_F(CrashIntraWebTest, StrayEndMarkerBeforeTheBlockDoesNotStopTheReplacement) {
    headers_.Add("<!--crashlog_end-->x<!--crashlog_start-->old<!--crashlog_end-->y");
    EXPECT_TRUE(ShowIntraWebError(hooks_, "Error", "M", failures_));
    EXPECT_EQ(Headers(), (std::vector<std::string>{std::string("<!--crashlog_end-->xy<!--crashlog_start-->") +
                                                   kStyle + "<!--crashlog_end-->"}));
}

TEST_F(CrashIntraWebTest, MissingPiecesAndFailuresAreRecorded) {
    headersMissing_ = true;
    EXPECT_TRUE(ShowIntraWebError(hooks_, "Error", "M", failures_)) << "the message still shows";
    EXPECT_EQ(shown_.size(), 1u);
    EXPECT_EQ(failures_.LastErrorCode(), eeShowError);
    EXPECT_EQ(failures_.LastErrorMessage(), "IntraWeb: HTMLHeaders = nil.");

    showFails_ = true;
    EXPECT_FALSE(ShowIntraWebError(hooks_, "Error", "M", failures_));
    EXPECT_EQ(failures_.LastErrorMessage(), "[IntraWeb] Session ended.");

    hooks_.ServerController = nullptr;
    EXPECT_FALSE(ShowIntraWebError(hooks_, "Error", "M", failures_));
    EXPECT_EQ(failures_.LastErrorMessage(),
              "IntraWeb: IntraWebApplication e/o IntraWebServerController are set to nil.");
    EXPECT_TRUE(hooks_.Present());
    EXPECT_FALSE(TIntraWebHooks{}.Present());
}

}  // namespace
}  // namespace brenvik
