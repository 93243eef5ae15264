// Runs crash_intercept_program.exe once per scenario and checks the outcome
// that the scenario's "// expect" line in the program's source states.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Expectation {
    std::string Scenario;
    std::map<std::string, std::string> Values;
    friend void PrintTo(const Expectation& expectation, std::ostream* out) { *out << expectation.Scenario; }
    std::string Get(const std::string& key) const {
        auto found = Values.find(key);
        return found == Values.end() ? std::string() : found->second;
    }
};

std::string WindowsPath(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}

// Number of the first line of the scenario program that defines `procedure`.
int DefinitionLine(const std::string& procedure) {
    std::ifstream source(WindowsPath(BRENVIK_SCENARIO_SOURCE));
    std::string text;
    for (int number = 1; std::getline(source, text); ++number)
        if (text.find(" void " + procedure + "()") != std::string::npos) return number;
    return 0;
}

std::vector<Expectation> ReadExpectations() {
    std::ifstream source(WindowsPath(BRENVIK_SCENARIO_SOURCE));
    std::vector<Expectation> expectations;
    const std::regex line(R"(^\s*// expect (\w+): (.*)$)");
    std::string text;
    while (std::getline(source, text)) {
        std::smatch match;
        if (!std::regex_match(text, match, line)) continue;
        Expectation expectation{match[1], {}};
        std::istringstream pairs(match[2].str());
        std::string pair;
        while (pairs >> pair) {
            const auto equals = pair.find('=');
            expectation.Values[pair.substr(0, equals)] = pair.substr(equals + 1);
        }
        expectations.push_back(std::move(expectation));
    }
    return expectations;
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The log's entries, each from its "Crashlog 4.5.4" line to the next.
std::vector<std::string> LogEntries(const std::string& log) {
    std::vector<std::string> entries;
    const std::string start = "Crashlog 4.5.4\r\n";
    for (std::size_t at = log.find(start); at != std::string::npos;) {
        const std::size_t next = log.find(start, at + start.size());
        entries.push_back(log.substr(at, next == std::string::npos ? std::string::npos : next - at));
        at = next;
    }
    return entries;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);)
        if (!part.empty()) parts.push_back(part);
    return parts;
}

// Runs a program with its standard error going to a file, where the runtime
// prints why it gave up ("terminate called …"); its exit code. Fails the
// test when the program does not end in time.
DWORD RunProgram(std::string commandLine, const std::string& errorsFile) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE errors = CreateFileA(errorsFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = errors;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                               &process));
    CloseHandle(errors);
    const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    EXPECT_EQ(waited, WAIT_OBJECT_0) << "the program did not end";
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

class CrashInterceptScenario : public testing::TestWithParam<Expectation> {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "crash-intercept-" + GetParam().Scenario + "-" + std::to_string(GetTickCount());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    }

    // The scenario's exit code; fails the test when it does not end in time.
    DWORD Run() {
        commandLine_ = "\"" + ProgramFolder() + "\\crash_intercept_program.exe\" " + GetParam().Scenario + " \"" +
                       folder_ + "\"";
        return RunProgram(commandLine_, folder_ + "\\stderr.txt");
    }

    std::string folder_;
    std::string commandLine_;
};

// The files the mail server stored for mails whose subject starts with `subject`.
std::vector<std::string> SpooledMailFiles(const std::string& spool, const std::string& subject) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA folder{};
    HANDLE folders = FindFirstFileA((spool + "\\" + subject + "-*").c_str(), &folder);
    for (BOOL more = folders != INVALID_HANDLE_VALUE; more; more = FindNextFileA(folders, &folder)) {
        const std::string path = spool + "\\" + folder.cFileName;
        WIN32_FIND_DATAA file{};
        HANDLE entries = FindFirstFileA((path + "\\*").c_str(), &file);
        for (BOOL next = entries != INVALID_HANDLE_VALUE; next; next = FindNextFileA(entries, &file))
            if (!(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(path + "\\" + file.cFileName);
        if (entries != INVALID_HANDLE_VALUE) FindClose(entries);
    }
    if (folders != INVALID_HANDLE_VALUE) FindClose(folders);
    return files;
}

TEST_P(CrashInterceptScenario, EndsAsStated) {
    const Expectation& expected = GetParam();
    // Mailing scenarios need the test mail server of scripts/mail_wine_tests.sh.
    const char* spool = std::getenv("BRENVIK_MAIL_SPOOL");
    if (!expected.Get("mail").empty() && !spool) GTEST_SKIP() << "no test mail server";
    // 64-bit Wine 8 needs more than the last stack page to dispatch an
    // x86-64 stack overflow and ends the process before any handler runs.
    if (expected.Scenario == "stack_overflow" && sizeof(void*) == 8 &&
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "64-bit Wine cannot hand a stack overflow to a handler";
    const DWORD exitCode = Run();
    EXPECT_EQ(std::to_string(exitCode), expected.Get("exit"));
    // The runtime gives up only where the program itself ends abnormally.
    EXPECT_EQ(ReadFile(folder_ + "\\stderr.txt").find("terminate called"), std::string::npos);

    const std::vector<std::string> entries = LogEntries(ReadFile(folder_ + "\\crash_intercept_program.clog"));
    ASSERT_EQ(std::to_string(entries.size()), expected.Get("reports"));
    // Every entry names the stated procedures, innermost first.
    for (const std::string& entry : entries) {
        std::size_t at = 0;
        for (const std::string& procedure : Split(expected.Get("stack"), ',')) {
            const std::size_t found = entry.find(procedure, at);
            EXPECT_NE(found, std::string::npos) << procedure << " missing after offset " << at << " in\n" << entry;
            if (found != std::string::npos) at = found + procedure.size();
        }
        if (const std::string procedure = expected.Get("line"); !procedure.empty()) {
            const std::regex row("\\|" + procedure + " *\\|" + std::to_string(DefinitionLine(procedure)) + " *\\|");
            EXPECT_TRUE(std::regex_search(entry, row)) << procedure << " at line " << DefinitionLine(procedure);
        }
        if (!expected.Get("hide").empty()) {
            EXPECT_EQ(entry.find(expected.Get("hide")), std::string::npos) << entry;
            EXPECT_NE(entry.find(std::string(expected.Get("hide").size(), '*')), std::string::npos) << entry;
        }
    }
    // Concurrent reports each keep their own message: none lost or mixed.
    std::set<std::string> messages;
    const std::regex message(R"(thread \d+ failed)");
    for (const std::string& entry : entries) {
        std::smatch match;
        if (std::regex_search(entry, match, message)) messages.insert(match.str());
    }
    if (expected.Scenario == "four_threads") {
        EXPECT_EQ(messages.size(), 4u);
    }

    if (!expected.Get("mail").empty()) {
        // The report reached the server: its text is in one of the mail's parts.
        bool delivered = false;
        for (const std::string& file : SpooledMailFiles(WindowsPath(spool), expected.Get("mail")))
            delivered |= ReadFile(file).find("raised deep inside") != std::string::npos;
        EXPECT_TRUE(delivered);
    }

    if (expected.Scenario == "restart") {
        // The second instance records its command line and ends.
        std::string second;
        for (int i = 0; i < 300 && second.empty(); ++i, Sleep(100)) second = ReadFile(folder_ + "\\second-instance");
        EXPECT_EQ(second, ReadFile(folder_ + "\\first-instance"));
        EXPECT_FALSE(second.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, CrashInterceptScenario, testing::ValuesIn(ReadExpectations()),
                         [](const testing::TestParamInfo<Expectation>& info) { return info.param.Scenario; });

// A facility started by a static object of the program, for programs whose
// main the integrator does not own: the program ends with its own code,
// through main's return or exit(), and nothing is printed.
TEST(CrashStaticStart, ProgramEndsQuietlyWithItsOwnExitCode) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string errors = std::string(temp) + "crash-static-start-" + std::to_string(GetTickCount()) + ".txt";
    const std::string program = "\"" + ProgramFolder() + "\\crash_static_start_program.exe\"";
    EXPECT_EQ(RunProgram(program + " return", errors), 9u);
    EXPECT_EQ(ReadFile(errors), "");
    EXPECT_EQ(RunProgram(program + " exit", errors), 11u);
    EXPECT_EQ(ReadFile(errors), "");
    DeleteFileA(errors.c_str());
}

}  // namespace
