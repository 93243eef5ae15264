#include "crash/win32/Win32SystemInfo.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "crash/report/ReportFormat.h"
#include "crash/stack/ModuleVersion.h"
#include "crash/win32/Win32CrashModule.h"

namespace brenvik {

namespace {

std::vector<char> VersionResource(const std::string& fileName) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(fileName.c_str(), 0, size, block.data())) block.clear();
    return block;
}

std::string WideToAnsi(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return "";
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(size - 1));
    return result;
}

// EnumSystemLocalesA hands no context to its callback.
struct LanguageSearch {
    LCID wanted = 0;
    std::string name;
};
thread_local LanguageSearch* currentSearch = nullptr;

std::string LocaleText(LCID locale, LCTYPE type) {
    char buffer[256] = {};
    const int length = GetLocaleInfoA(locale, type, buffer, sizeof buffer);
    return length > 1 ? std::string(buffer, static_cast<std::size_t>(length - 1)) : "";
}

BOOL CALLBACK VisitLocale(LPSTR localeText) {
    const LCID locale = static_cast<LCID>(std::strtoul(localeText, nullptr, 16));
    if (locale != currentSearch->wanted || LocaleText(locale, LOCALE_SABBREVLANGNAME).empty()) return TRUE;
    currentSearch->name = LocaleText(locale, LOCALE_SLANGUAGE);
    return FALSE;
}

}  // namespace

TCrashDateTime Win32SystemInfo::Now() const {
    SYSTEMTIME time{};
    GetLocalTime(&time);
    return {time.wYear, time.wMonth, time.wDay, time.wDayOfWeek, time.wHour, time.wMinute, time.wSecond};
}

std::int32_t Win32SystemInfo::TimeZoneBias() const {
    TIME_ZONE_INFORMATION zone{};
    GetTimeZoneInformation(&zone);
    return zone.Bias;
}

std::string Win32SystemInfo::MainModuleFileName() const { return ModuleFileName(nullptr); }

std::string Win32SystemInfo::MainModuleDescription() const {
    std::vector<char> block = VersionResource(MainModuleFileName());
    if (block.empty()) return "";
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
        length < 2 * sizeof(WORD))
        return "";
    const std::string path = VersionStringPath(translation[0], translation[1], "FileDescription");
    char* description = nullptr;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&description), &length) || length == 0)
        return "";
    const std::string text(description, strnlen(description, length));
    return text.size() > 1 ? text : "";
}

std::string Win32SystemInfo::MainModuleVersion() const {
    std::vector<char> block = VersionResource(MainModuleFileName());
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (block.empty() || !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) ||
        length < sizeof(VS_FIXEDFILEINFO))
        return "";
    return FileVersionText(info->dwFileVersionMS, info->dwFileVersionLS);
}

std::vector<std::string> Win32SystemInfo::CommandLineParameters() const {
    std::vector<std::string> parameters;
    for (int i = 1; i < __argc && __argv; ++i) parameters.emplace_back(__argv[i]);
    return parameters;
}

std::string Win32SystemInfo::ForegroundWindowClass() const {
    char buffer[256] = {};
    const int length = GetClassNameA(GetForegroundWindow(), buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::string Win32SystemInfo::ForegroundWindowText() const {
    const HWND window = GetForegroundWindow();
    char buffer[257] = {};
    int length = 0;
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        length = GetWindowTextA(window, buffer, sizeof buffer);
    } else {
        // No message to another thread's window: that thread may be the
        // frozen one, suspended by the watchdog while this report is made.
        wchar_t text[257] = {};
        const int wide = InternalGetWindowText(window, text, 257);
        length = wide > 0 ? WideCharToMultiByte(CP_ACP, 0, text, wide, buffer, sizeof buffer - 1, nullptr, nullptr) : 0;
    }
    return std::string(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::string Win32SystemInfo::ComputerName() const {
    char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = sizeof buffer;
    return GetComputerNameA(buffer, &length) ? std::string(buffer, length) : "";
}

std::string Win32SystemInfo::UserName() const {
    char buffer[257] = {};
    DWORD length = sizeof buffer;
    return GetUserNameA(buffer, &length) && length > 0 ? std::string(buffer, length - 1) : "";
}

TCrashMemoryStatus Win32SystemInfo::MemoryStatus() const {
    // The extended query: the plain one stops counting at 4 GB.
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return {};
    return {status.ullTotalPhys, status.ullAvailPhys};
}

std::optional<TCrashDiskSpace> Win32SystemInfo::DiskSpace() const {
    using Query = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    const auto query =
        reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA")));
    if (!query) return std::nullopt;
    std::string folder = ExtractFileDir(ModuleFileName(CrashFacilityModule()));
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    ULARGE_INTEGER freeToCaller{}, total{}, freeTotal{};
    if (!query(folder.c_str(), &freeToCaller, &total, &freeTotal)) return std::nullopt;
    return TCrashDiskSpace{total.QuadPart, freeToCaller.QuadPart};
}

TCrashOsVersion Win32SystemInfo::OsVersion() const {
    TCrashOsVersion version;
    using RtlGetVersionProc = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto rtlGetVersion =
        reinterpret_cast<RtlGetVersionProc>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW wide{};
    wide.dwOSVersionInfoSize = sizeof wide;
    if (rtlGetVersion && rtlGetVersion(&wide) == 0) {
        version.Major = wide.dwMajorVersion;
        version.Minor = wide.dwMinorVersion;
        version.Build = wide.dwBuildNumber;
        version.ServicePack = WideToAnsi(wide.szCSDVersion);
        version.Platform = wide.dwPlatformId == VER_PLATFORM_WIN32_NT ? TCrashOsPlatform::WindowsNT
                                                                      : TCrashOsPlatform::Other;
        return version;
    }
    OSVERSIONINFOA ansi{};
    ansi.dwOSVersionInfoSize = sizeof ansi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&ansi)) return version;
#pragma GCC diagnostic pop
    version.Major = ansi.dwMajorVersion;
    version.Minor = ansi.dwMinorVersion;
    version.Build = ansi.dwBuildNumber;
    version.ServicePack = ansi.szCSDVersion;
    version.Platform = ansi.dwPlatformId == VER_PLATFORM_WIN32_NT        ? TCrashOsPlatform::WindowsNT
                       : ansi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? TCrashOsPlatform::Windows9x
                                                                         : TCrashOsPlatform::Other;
    return version;
}

std::string Win32SystemInfo::DefaultLanguageName() const {
    LanguageSearch search;
    search.wanted = GetSystemDefaultLangID();
    currentSearch = &search;
    EnumSystemLocalesA(VisitLocale, LCID_INSTALLED);
    currentSearch = nullptr;
    return search.name;
}

}  // namespace brenvik
