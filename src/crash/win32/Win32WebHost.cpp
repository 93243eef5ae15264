#include "crash/win32/Win32WebHost.h"

#include <shellapi.h>

#include <vector>

#include "base/Exception.h"

namespace brenvik {

namespace {

const IMAGE_NT_HEADERS* ImageHeaders(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length ? std::string(text, length) : "System error " + std::to_string(code) + ".";
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n')) message.pop_back();
    return message;
}

// Writes all of `data`; WriteFile may take less than asked on pipes.
bool WriteAll(HANDLE handle, std::string_view data) {
    while (!data.empty()) {
        DWORD written = 0;
        if (!WriteFile(handle, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) || written == 0)
            return false;
        data.remove_prefix(written);
    }
    return true;
}

void SetStatus(void* context, std::uint32_t code) {
    static_cast<EXTENSION_CONTROL_BLOCK*>(context)->dwHttpStatusCode = code;
}

bool ServerSupport(void* context, std::uint32_t request, const char* buffer, std::uint32_t* size,
                   const char* dataType) {
    auto* block = static_cast<EXTENSION_CONTROL_BLOCK*>(context);
    DWORD bufferSize = *size;
    // The response-header request carries the header text in the data-type slot.
    const BOOL ok = block->ServerSupportFunction(block->ConnID, request, const_cast<char*>(buffer), &bufferSize,
                                                 reinterpret_cast<LPDWORD>(const_cast<char*>(dataType)));
    *size = bufferSize;
    return ok != FALSE;
}

bool WriteClient(void* context, const char* data, std::uint32_t* bytes, std::uint32_t flags) {
    auto* block = static_cast<EXTENSION_CONTROL_BLOCK*>(context);
    DWORD count = *bytes;
    const BOOL ok = block->WriteClient(block->ConnID, const_cast<char*>(data), &count, flags);
    *bytes = count;
    return ok != FALSE;
}

}  // namespace

bool TWin32WebHost::IsLibrary() const { return (ImageHeaders(module_)->FileHeader.Characteristics & IMAGE_FILE_DLL) != 0; }

bool TWin32WebHost::ExportsHttpExtensionProc() const {
    return GetProcAddress(module_, "HttpExtensionProc") != nullptr;
}

bool TWin32WebHost::IsConsole() const {
    return ImageHeaders(GetModuleHandleA(nullptr))->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

bool TWin32WebHost::HasEnvironmentVariable(const std::string& name) const {
    // With no buffer the size needed is returned, at least 1 for an empty value.
    return GetEnvironmentVariableA(name.c_str(), nullptr, 0) != 0;
}

std::string TWin32WebHost::Argument(int index) const {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return "";
    std::string result;
    if (index >= 0 && index < count) {
        const int size = WideCharToMultiByte(CP_ACP, 0, arguments[index], -1, nullptr, 0, nullptr, nullptr);
        if (size > 1) {
            result.resize(static_cast<std::size_t>(size));
            WideCharToMultiByte(CP_ACP, 0, arguments[index], -1, result.data(), size, nullptr, nullptr);
            result.resize(static_cast<std::size_t>(size - 1));
        }
    }
    LocalFree(arguments);
    return result;
}

std::optional<std::uint64_t> TWin32WebHost::FileSize(const std::string& path) const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool TWin32WebHost::FileExists(const std::string& path) const { return FileSize(path).has_value(); }

std::string TWin32WebHost::ProfileString(const std::string& file, const std::string& section,
                                         const std::string& key) const {
    std::vector<char> buffer(4096);
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), file.c_str());
    return std::string(buffer.data(), length);
}

bool TWin32WebHost::WriteStandardOutput(std::string_view data) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return false;
    return WriteAll(output, data);
}

void TWin32WebHost::WriteOutputFile(const std::string& path, std::string_view data) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw Exception(SystemErrorText(GetLastError()));
    // Ending the file after the page keeps no tail of an older, longer response.
    const bool written = WriteAll(file, data) && SetEndOfFile(file);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!written) throw Exception(SystemErrorText(error));
}

TServerExtensionBlock ServerExtensionBlockFor(EXTENSION_CONTROL_BLOCK* block) {
    TServerExtensionBlock callbacks;
    callbacks.Context = block;
    callbacks.SetHttpStatusCode = SetStatus;
    callbacks.ServerSupportFunction = ServerSupport;
    callbacks.WriteClient = WriteClient;
    return callbacks;
}

}  // namespace brenvik
