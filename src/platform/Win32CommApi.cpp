#include "platform/Win32CommApi.h"

#include <windows.h>

#include <cstring>

namespace brenvik {
namespace {

static_assert(sizeof(DCB) == sizeof(CommState), "CommState must mirror DCB");

// Kernel handles carry 32 significant bits and sign-extend on 64-bit Windows,
// so INVALID_HANDLE_VALUE survives the round trip.
HANDLE AsHandle(CommHandle handle) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(static_cast<std::int32_t>(handle)));
}
CommHandle FromHandle(HANDLE handle) {
    return static_cast<CommHandle>(reinterpret_cast<std::uintptr_t>(handle));
}

class Win32CommApi final : public CommApi {
public:
    CommHandle OpenDevice(const std::string& path) override {
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        return FromHandle(handle);
    }
    bool CloseDevice(CommHandle handle) override { return CloseHandle(AsHandle(handle)) != FALSE; }
    bool GetState(CommHandle handle, CommState& state) override {
        DCB dcb;
        std::memcpy(&dcb, &state, sizeof dcb);
        bool ok = GetCommState(AsHandle(handle), &dcb) != FALSE;
        std::memcpy(&state, &dcb, sizeof dcb);
        return ok;
    }
    bool SetState(CommHandle handle, const CommState& state) override {
        DCB dcb;
        std::memcpy(&dcb, &state, sizeof dcb);
        return SetCommState(AsHandle(handle), &dcb) != FALSE;
    }
    bool ClearError(CommHandle handle, std::uint32_t& errors, std::uint32_t& bytesInQueue) override {
        DWORD flags = 0;
        COMSTAT status{};
        bool ok = ClearCommError(AsHandle(handle), &flags, &status) != FALSE;
        errors = flags;
        bytesInQueue = ok ? status.cbInQue : 0;
        return ok;
    }
    bool Read(CommHandle handle, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) override {
        DWORD got = 0;
        bool ok = ReadFile(AsHandle(handle), buffer, count, &got, nullptr) != FALSE;
        bytesRead = got;
        return ok;
    }
    bool Write(CommHandle handle, const void* data, std::uint32_t count, std::uint32_t& bytesWritten) override {
        DWORD put = 0;
        bool ok = WriteFile(AsHandle(handle), data, count, &put, nullptr) != FALSE;
        bytesWritten = put;
        return ok;
    }
    bool Escape(CommHandle handle, std::uint32_t function) override {
        return EscapeCommFunction(AsHandle(handle), function) != FALSE;
    }
    std::uint32_t TickCount() override { return GetTickCount(); }
    void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
    std::uint32_t LastError() override { return GetLastError(); }
};

}  // namespace

CommApi& SystemCommApi() {
    static Win32CommApi api;
    return api;
}

}  // namespace brenvik
