#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "base/Exception.h"
#include "crash/win32/Win32WebHost.h"

namespace brenvik {
namespace {

std::string TempFolder() {
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    std::string folder = std::string(path) + "crash_web_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(CrashWebWine, ProcessFactsOfAConsoleTestProgram) {
    TWin32WebHost host(GetModuleHandleA(nullptr));
    EXPECT_TRUE(host.IsConsole());
    EXPECT_FALSE(host.IsLibrary());
    EXPECT_FALSE(host.ExportsHttpExtensionProc());
    SetEnvironmentVariableA("CRASH_WEB_EMPTY_VALUE", "");
    SetEnvironmentVariableA("CRASH_WEB_VALUE", "GET");
    EXPECT_TRUE(host.HasEnvironmentVariable("CRASH_WEB_VALUE"));
    EXPECT_TRUE(host.HasEnvironmentVariable("CRASH_WEB_EMPTY_VALUE")) << "an empty value still names a request";
    EXPECT_FALSE(host.HasEnvironmentVariable("CRASH_WEB_NEVER_SET"));
    EXPECT_FALSE(host.Argument(0).empty());
    EXPECT_EQ(host.Argument(99), "");
}

TEST(CrashWebWine, ProfileAndOutputFile) {
    const std::string folder = TempFolder();
    const std::string profile = folder + "request.ini";
    const std::string output = folder + "out.htm";
    std::ofstream(profile, std::ios::binary) << "[CGI]\r\nRequest Method=POST\r\n[System]\r\nOutput File=" << output
                                             << "\r\n";
    TWin32WebHost host(GetModuleHandleA(nullptr));
    EXPECT_EQ(host.ProfileString(profile, "CGI", "Request Method"), "POST");
    EXPECT_EQ(host.ProfileString(profile, "System", "Output File"), output);
    EXPECT_EQ(host.FileSize(profile), ReadAll(profile).size());
    EXPECT_FALSE(host.FileExists(output));
    EXPECT_FALSE(host.FileSize(folder).has_value()) << "a folder is no file";

    std::ofstream(output, std::ios::binary) << std::string(50, 'o');
    // Another process of the server may still hold the file open.
    const HANDLE reader = CreateFileA(output.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    host.WriteOutputFile(output, "page");
    CloseHandle(reader);
    EXPECT_EQ(ReadAll(output), "page") << "no tail of the older, longer content";

    EXPECT_THROW(host.WriteOutputFile(folder + "missing\\out.htm", "page"), Exception);
    DeleteFileA(output.c_str());
    DeleteFileA(profile.c_str());
    RemoveDirectoryA(folder.c_str());
}

struct FakeServer {
    static inline std::string calls;
    static BOOL WINAPI Support(HCONN conn, DWORD request, LPVOID buffer, LPDWORD size, LPDWORD dataType) {
        calls += std::to_string(reinterpret_cast<UINT_PTR>(conn)) + " " + std::to_string(request) + " " +
                 std::string(static_cast<const char*>(buffer), *size) + " " + reinterpret_cast<const char*>(dataType) +
                 ";";
        return TRUE;
    }
    static BOOL WINAPI Write(HCONN conn, LPVOID buffer, LPDWORD bytes, DWORD flags) {
        calls += std::to_string(reinterpret_cast<UINT_PTR>(conn)) + " " +
                 std::string(static_cast<const char*>(buffer), *bytes) + " " + std::to_string(flags) + ";";
        *bytes = 2;  // a server may take fewer bytes than offered
        return TRUE;
    }
};

TEST(CrashWebWine, ControlBlockCallbacksReachTheServer) {
    EXTENSION_CONTROL_BLOCK block{};
    block.ConnID = reinterpret_cast<HCONN>(static_cast<UINT_PTR>(77));
    block.ServerSupportFunction = FakeServer::Support;
    block.WriteClient = FakeServer::Write;
    const TServerExtensionBlock callbacks = ServerExtensionBlockFor(&block);
    callbacks.SetHttpStatusCode(callbacks.Context, 500);
    EXPECT_EQ(block.dwHttpStatusCode, 500u);
    std::uint32_t size = 9;
    EXPECT_TRUE(callbacks.ServerSupportFunction(callbacks.Context, 3, "500 Error", &size, "Head"));
    std::uint32_t bytes = 4;
    EXPECT_TRUE(callbacks.WriteClient(callbacks.Context, "page", &bytes, 1));
    EXPECT_EQ(bytes, 2u);
    EXPECT_EQ(FakeServer::calls, "77 3 500 Error Head;77 page 1;");
}

}  // namespace
}  // namespace brenvik
