// The example programs of the crash-report facility, each run from a folder of
// its own: each crashes as it says and leaves one report whose call stack
// names the example's source file and the line of its throw.
#include <windows.h>

#include <gtest/gtest.h>
#include <process.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The line of the example's one throw, from its source.
int ThrowLine(const std::string& sourceFile) {
    std::ifstream source(std::string(BRENVIK_EXAMPLES_DIR) + "/" + sourceFile);
    int number = 1;
    for (std::string text; std::getline(source, text); ++number)
        if (text.find("throw ") != std::string::npos && text.find("//") != 0) return number;
    return 0;
}

// The examples are built beside the test program.
std::string BuiltProgram(const std::string& name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1) + name + ".exe";
}

struct Example {
    const char* Name;
    const char* Argument;
    int ExitCode;
};

void PrintTo(const Example& example, std::ostream* out) { *out << example.Name; }

class CrashExample : public testing::TestWithParam<Example> {};

TEST_P(CrashExample, ReportNamesItsOwnFileAndLine) {
    const Example& example = GetParam();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "crash-example-" + example.Name + std::to_string(GetTickCount());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string program = folder + "\\" + example.Name + ".exe";
    ASSERT_TRUE(CopyFileA(BuiltProgram(example.Name).c_str(), program.c_str(), FALSE));

    EXPECT_EQ(_spawnl(_P_WAIT, program.c_str(), program.c_str(), example.Argument, nullptr), example.ExitCode);

    const std::string log = ReadFile(folder + "\\" + example.Name + ".clog");
    const std::string source = std::string(example.Name) + ".cpp";
    const int line = ThrowLine(source);
    ASSERT_GT(line, 0);
    // One report; a stack row "|<module>|<file> |<unit> |<procedure> |<line> |".
    std::size_t reports = 0;
    for (std::size_t at = log.find("Crashlog "); at != std::string::npos; at = log.find("Crashlog ", at + 1)) ++reports;
    EXPECT_EQ(reports, 1u) << log;
    const std::regex row("\\|" + std::string(example.Name) + "\\.exe\\|" + std::string(example.Name) +
                         "\\.cpp *\\|[^|\\r\\n]*\\|[^|\\r\\n]*\\|" + std::to_string(line) + " *\\|");
    EXPECT_TRUE(std::regex_search(log, row)) << source << " line " << line << " missing in\n" << log;
}

INSTANTIATE_TEST_SUITE_P(Examples, CrashExample,
                         testing::Values(Example{"console_crash", "abc", 1}, Example{"window_crash", "--unattended", 0}),
                         [](const testing::TestParamInfo<Example>& info) { return std::string(info.param.Name); });

}  // namespace
