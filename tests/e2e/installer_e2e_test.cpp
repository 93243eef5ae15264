// The per-user installer in the session's prefix: what a silent install
// leaves, the program started as Windows starts it from the Run key, an
// update and an uninstall while it runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>

#include "WineSession.h"
#include "gui_harness.h"

namespace brenvik::e2e {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const char kRunKey[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kUninstallKey[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brenvik";

std::string RequiredEnv(const char* name) {
    const char* value = std::getenv(name);
    if (!value) throw std::runtime_error(std::string(name) + " is not set");
    return value;
}

// The one output line of a program run in the prefix.
std::string OutputLine(const std::string& program, const std::vector<std::string>& arguments) {
    auto lines = RunToEnd(program, arguments, 30s);
    if (lines.empty()) throw std::runtime_error(program + " printed nothing");
    return lines.front();
}

// A folder of the prefix's user, as Windows and as Linux name it.
struct Folder {
    std::string windows;
    fs::path linux;
};

Folder UserFolder(const std::string& variable) {
    Folder folder;
    folder.windows = OutputLine("cmd", {"/c", "echo", "%" + variable + "%"});
    folder.linux = OutputLine("winepath", {"-u", folder.windows});
    return folder;
}

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A command line as the Run key and the uninstall entry hold it: a quoted
// program, then its arguments.
struct CommandLine {
    std::string program;
    std::vector<std::string> arguments;
};

CommandLine Parse(const std::string& line) {
    CommandLine command;
    auto closing = line.find('"', 1);
    if (line.empty() || line[0] != '"' || closing == std::string::npos) return command;
    command.program = line.substr(1, closing - 1);
    std::istringstream rest(line.substr(closing + 1));
    for (std::string word; rest >> word;) command.arguments.push_back(word);
    return command;
}

std::unique_ptr<WineProcess> StartFromRunKey() {
    CommandLine command = Parse(ReadRegistryKey(kRunKey)["Brenvik"].data);
    if (command.program.empty()) throw std::runtime_error("no Run value to start Brenvik from");
    return std::make_unique<WineProcess>(command.program, command.arguments);
}

void ExpectOnlyInTheTray(const char* when) {
    SCOPED_TRACE(when);
    WindowState state = ReadWindowState(1500ms);
    EXPECT_FALSE(state.visible);
    EXPECT_TRUE(state.shown.empty()) << "a window of Brenvik is shown";
    EXPECT_TRUE(TrayWindowShown());
}

TEST(Installer, SilentInstallUpdateAndUninstallWhileTheProgramRunsFromTheRunKey) {
    const fs::path setup = RequiredEnv("BRENVIK_SETUP");
    const std::string version = RequiredEnv("BRENVIK_VERSION");
    ResetSettings();
    Folder local = UserFolder("LOCALAPPDATA");
    const std::string installDir = local.windows + "\\Programs\\Brenvik";
    const fs::path files = local.linux / "Programs" / "Brenvik";
    const fs::path shortcut = UserFolder("APPDATA").linux / "Microsoft/Windows/Start Menu/Programs/Brenvik.lnk";

    int exitCode = -1;
    RunToEnd(setup, {"/S"}, 120s, &exitCode);
    ASSERT_EQ(exitCode, 0);
    EXPECT_EQ(FileBytes(files / "Brenvik.exe"), FileBytes(WineSession::Get().Program("Brenvik.exe")));
    EXPECT_TRUE(fs::exists(files / "Uninstall.exe"));
    EXPECT_TRUE(fs::exists(shortcut));
    EXPECT_EQ(ReadRegistryKey(kRunKey)["Brenvik"], (RegistryValue{"REG_SZ", "\"" + installDir + "\\Brenvik.exe\" /tray"}));

    auto entry = ReadRegistryKey(kUninstallKey);
    const std::string uninstaller = installDir + "\\Uninstall.exe";
    const std::map<std::string, RegistryValue> expected = {
        {"DisplayName", {"REG_SZ", "Brenvik"}},
        {"DisplayVersion", {"REG_SZ", version}},
        {"Publisher", {"REG_SZ", "Morvane"}},
        {"UninstallString", {"REG_SZ", "\"" + uninstaller + "\""}},
        {"QuietUninstallString", {"REG_SZ", "\"" + uninstaller + "\" /S"}},
        {"DisplayIcon", {"REG_SZ", installDir + "\\Brenvik.exe"}},
        {"InstallLocation", {"REG_SZ", installDir}},
        {"NoModify", {"REG_DWORD", "0x1"}},
        {"NoRepair", {"REG_DWORD", "0x1"}},
    };
    for (const auto& [name, value] : expected) EXPECT_EQ(entry[name], value) << name;
    const auto installedKilobytes = (fs::file_size(files / "Brenvik.exe") + fs::file_size(files / "Uninstall.exe")) / 1024;
    EXPECT_EQ(entry["EstimatedSize"].type, "REG_DWORD");
    EXPECT_NEAR(std::stoul(entry["EstimatedSize"].data, nullptr, 16), installedKilobytes, 2);

    auto running = StartFromRunKey();
    ExpectOnlyInTheTray("installed");
    // An update closes the running copy the polite way, which ends it normally.
    RunToEnd(setup, {"/S"}, 120s, &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(running->Wait(20s), 0);

    running = StartFromRunKey();
    ExpectOnlyInTheTray("updated");
    // The uninstaller goes on from a copy of itself in the temporary folder;
    // the uninstall entry goes last.
    CommandLine uninstall = Parse(entry["UninstallString"].data);
    RunToEnd(uninstall.program, {"/S"}, 60s, &exitCode);
    EXPECT_EQ(exitCode, 0);
    for (auto deadline = std::chrono::steady_clock::now() + 60s;
         !ReadRegistryKey(kUninstallKey).empty() && std::chrono::steady_clock::now() < deadline;)
        std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(ReadRegistryKey(kUninstallKey).empty());
    EXPECT_EQ(running->Wait(20s), 0);
    EXPECT_FALSE(fs::exists(files));
    EXPECT_FALSE(fs::exists(shortcut));
    EXPECT_EQ(ReadRegistryKey(kRunKey).count("Brenvik"), 0u);
    // What the closed program saved stays: a silent uninstall keeps the settings.
    EXPECT_EQ(ReadSettings()["Cut"], (RegistryValue{"REG_SZ", "1"}));
}

}  // namespace
}  // namespace brenvik::e2e
