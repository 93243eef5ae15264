#pragma once
#include <cstdint>

namespace brenvik {

// The callbacks of the web server's extension control block that the error
// page uses; `Context` is handed back to each. On Windows it wraps the real
// control block; tests record the calls.
struct TServerExtensionBlock {
    static constexpr std::uint32_t kSendResponseHeader = 3;
    static constexpr std::uint32_t kSynchronousWrite = 1;

    void* Context = nullptr;
    void (*SetHttpStatusCode)(void* context, std::uint32_t code) = nullptr;
    bool (*ServerSupportFunction)(void* context, std::uint32_t request, const char* buffer, std::uint32_t* size,
                                  const char* dataType) = nullptr;
    bool (*WriteClient)(void* context, const char* data, std::uint32_t* bytes, std::uint32_t flags) = nullptr;
};

}  // namespace brenvik
