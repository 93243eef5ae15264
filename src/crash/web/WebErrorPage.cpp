#include "crash/web/WebErrorPage.h"

#include <exception>

namespace brenvik {

namespace {
constexpr const char* kCgiWriteFailed = "CGI: Cannot write in the ouput file.";
}  // namespace

void TWebErrorPage::SetServerControlBlock(std::uint32_t thread, const TServerExtensionBlock* block) {
    const std::lock_guard lock(blocksLock_);
    if (block) blocks_[thread] = block;
    else blocks_.erase(thread);
}

bool TWebErrorPage::SendWebErrorPage(const std::string& html, std::uint32_t thread) {
    switch (DetectWebHost(system_)) {
        case TWebHostKind::Isapi: return SendIsapi(html, thread);
        case TWebHostKind::Cgi: return SendCgi(html);
        case TWebHostKind::WinCgi: return SendWinCgi(html);
        case TWebHostKind::None: break;
    }
    return false;
}

bool TWebErrorPage::SendIsapi(const std::string& html, std::uint32_t thread) {
    const TServerExtensionBlock* block = nullptr;
    {
        const std::lock_guard lock(blocksLock_);
        if (const auto found = blocks_.find(thread); found != blocks_.end()) block = found->second;
    }
    if (block == nullptr) {
        failures_.Warning(eeShowError, "ISAPI: ServerECB = nil");
        return false;
    }
    block->SetHttpStatusCode(block->Context, 500);
    const std::string header = WebResponseHeader(TWebHostKind::Isapi, html.size());
    const std::string status = "500 Error";
    auto statusSize = static_cast<std::uint32_t>(status.size());
    const bool headerSent = block->ServerSupportFunction(block->Context, TServerExtensionBlock::kSendResponseHeader,
                                                          status.c_str(), &statusSize, header.c_str());
    // A server that refused the header would show the page as a broken response.
    if (!headerSent) return false;
    auto pageSize = static_cast<std::uint32_t>(html.size());
    return block->WriteClient(block->Context, html.data(), &pageSize, TServerExtensionBlock::kSynchronousWrite) &&
           pageSize == html.size();
}

bool TWebErrorPage::SendCgi(const std::string& html) {
    // A failed page after a good header still leaves the client without the
    // report, so it counts as the same failure.
    if (!system_.WriteStandardOutput(WebResponseHeader(TWebHostKind::Cgi, html.size())) ||
        !system_.WriteStandardOutput(html)) {
        failures_.Warning(eeShowError, kCgiWriteFailed);
        return false;
    }
    return true;
}

bool TWebErrorPage::SendWinCgi(const std::string& html) {
    try {
        system_.WriteOutputFile(WinCgiOutputFile(system_), WebResponseHeader(TWebHostKind::WinCgi, html.size()) + html);
        return true;
    } catch (...) {
        failures_.StepFailed(eeShowError, "WinCGI", DescribeFailure(std::current_exception()));
        return false;
    }
}

}  // namespace brenvik
