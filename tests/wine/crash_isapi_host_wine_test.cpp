// A web server's side of the server extension crash_isapi_extension.dll: it
// loads a copy of the library from a folder of its own (where the library's
// log then goes), and serves requests through control blocks whose callbacks
// record what the extension sends.
#include <windows.h>
#include <httpext.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "crash_web_e2e_response.h"

namespace {

constexpr const char* kExtension = "crash_isapi_extension";

// Everything the extension sent through one request's control block.
struct TRecordedResponse {
    std::vector<DWORD> supportRequests;
    std::string statusText;
    std::string header;
    std::string body;
    int writes = 0;
};

TRecordedResponse& ResponseOf(HCONN connection) { return *static_cast<TRecordedResponse*>(connection); }

BOOL WINAPI RecordSupportCall(HCONN connection, DWORD request, LPVOID buffer, LPDWORD size, LPDWORD dataType) {
    TRecordedResponse& response = ResponseOf(connection);
    response.supportRequests.push_back(request);
    if (request != HSE_REQ_SEND_RESPONSE_HEADER) return FALSE;
    if (buffer) response.statusText.assign(static_cast<const char*>(buffer), size ? *size : 0);
    if (dataType) response.header = reinterpret_cast<const char*>(dataType);
    return TRUE;
}

BOOL WINAPI RecordWrite(HCONN connection, LPVOID data, LPDWORD bytes, DWORD) {
    TRecordedResponse& response = ResponseOf(connection);
    response.body.append(static_cast<const char*>(data), *bytes);
    ++response.writes;
    return TRUE;
}

BOOL WINAPI NoServerVariable(HCONN, LPSTR, LPVOID, LPDWORD) { return FALSE; }
BOOL WINAPI NoRequestBody(HCONN, LPVOID, LPDWORD) { return FALSE; }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ExtensionHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string source(path);
        source = source.substr(0, source.find_last_of('\\') + 1) + kExtension + ".dll";
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "crash_isapi_host_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        const std::string copy = folder_ + "\\" + kExtension + ".dll";
        ASSERT_TRUE(CopyFileA(source.c_str(), copy.c_str(), FALSE)) << source;
        library_ = LoadLibraryA(copy.c_str());
        ASSERT_NE(library_, nullptr);
        entry_ = Export<PFN_HTTPEXTENSIONPROC>("HttpExtensionProc");
        auto start = Export<PFN_GETEXTENSIONVERSION>("GetExtensionVersion");
        ASSERT_NE(entry_, nullptr);
        ASSERT_NE(start, nullptr);
        HSE_VERSION_INFO version{};
        ASSERT_TRUE(start(&version));
    }

    static void TearDownTestSuite() {
        if (library_) {
            auto stop = Export<PFN_TERMINATEEXTENSION>("TerminateExtension");
            if (stop) stop(HSE_TERM_MUST_UNLOAD);
            FreeLibrary(library_);
        }
        DeleteFileA((folder_ + "\\" + kExtension + ".dll").c_str());
        DeleteFileA(LogFile().c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    // An entry point of the library, through the generic function type.
    template <class T>
    static T Export(const char* name) {
        return reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(library_, name)));
    }

    static std::string LogFile() { return folder_ + "\\" + kExtension + ".clog"; }

    // One request as the server hands it over; returns the extension's status.
    static DWORD Serve(const std::string& query, TRecordedResponse& response, EXTENSION_CONTROL_BLOCK& block) {
        block = {};
        block.cbSize = sizeof block;
        block.dwVersion = MAKELONG(HSE_VERSION_MINOR, HSE_VERSION_MAJOR);
        block.ConnID = &response;
        block.lpszMethod = const_cast<char*>("GET");
        block.lpszQueryString = const_cast<char*>(query.c_str());
        block.lpszPathInfo = const_cast<char*>("/invoice");
        block.lpszContentType = const_cast<char*>("");
        block.GetServerVariable = NoServerVariable;
        block.WriteClient = RecordWrite;
        block.ReadClient = NoRequestBody;
        block.ServerSupportFunction = RecordSupportCall;
        return entry_(&block);
    }

    // The same on a thread of its own, as a server's worker threads call it.
    static DWORD ServeOnWorker(const std::string& query, TRecordedResponse& response, EXTENSION_CONTROL_BLOCK& block) {
        TWorkerCall call{query, response, block, 0};
        HANDLE thread = CreateThread(nullptr, 0, RunWorkerCall, &call, 0, nullptr);
        EXPECT_NE(thread, nullptr);
        if (!thread) return 0;
        EXPECT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
        CloseHandle(thread);
        return call.status;
    }

    // The error page arrived whole through the block, status through the block.
    static void ExpectErrorPage(const EXTENSION_CONTROL_BLOCK& block, const TRecordedResponse& response,
                                const std::string& message) {
        EXPECT_EQ(block.dwHttpStatusCode, 500u);
        EXPECT_EQ(response.supportRequests, std::vector<DWORD>{HSE_REQ_SEND_RESPONSE_HEADER});
        EXPECT_EQ(response.statusText, "500 Error");
        EXPECT_EQ(response.header.rfind("Content-Type: text/html\r\n", 0), 0u) << response.header;
        EXPECT_EQ(response.header.find("Status:"), std::string::npos) << response.header;
        EXPECT_EQ(brenvik::e2e::HeaderValue(response.header, "Content-Length"), std::to_string(response.body.size()));
        EXPECT_EQ(response.writes, 1);
        EXPECT_EQ(response.body.rfind("<html><head><title>", 0), 0u);
        const std::string text = brenvik::e2e::ErrorPageText(response.body);
        EXPECT_NE(text.find(message), std::string::npos) << text.substr(0, 400);
        // The call stack of the throw, named from the library's own debug information.
        EXPECT_NE(text.find("LookUpInvoice"), std::string::npos);
        EXPECT_NE(text.find("ServeRequest"), std::string::npos);
    }

    struct TWorkerCall {
        const std::string& query;
        TRecordedResponse& response;
        EXTENSION_CONTROL_BLOCK& block;
        DWORD status;
    };
    static DWORD WINAPI RunWorkerCall(LPVOID parameter) {
        auto* call = static_cast<TWorkerCall*>(parameter);
        call->status = Serve(call->query, call->response, call->block);
        return 0;
    }

    static inline std::string folder_;
    static inline HMODULE library_ = nullptr;
    static inline PFN_HTTPEXTENSIONPROC entry_ = nullptr;
};

TEST_F(ExtensionHost, FailingRequestGetsTheReportPageThroughItsControlBlock) {
    TRecordedResponse response;
    EXTENSION_CONTROL_BLOCK block;
    EXPECT_EQ(Serve("fail=A-17", response, block), static_cast<DWORD>(HSE_STATUS_ERROR));
    ExpectErrorPage(block, response, "Invoice A-17 is missing");
    // The report is logged beside the library as well.
    EXPECT_NE(ReadFile(LogFile()).find("Invoice A-17 is missing"), std::string::npos);
}

TEST_F(ExtensionHost, EachRequestOnAWorkerThreadIsAnsweredThroughItsOwnBlock) {
    TRecordedResponse first, good, second;
    EXTENSION_CONTROL_BLOCK firstBlock, goodBlock, secondBlock;
    EXPECT_EQ(ServeOnWorker("fail=B-1", first, firstBlock), static_cast<DWORD>(HSE_STATUS_ERROR));
    EXPECT_EQ(ServeOnWorker("week=3", good, goodBlock), static_cast<DWORD>(HSE_STATUS_SUCCESS));
    EXPECT_EQ(ServeOnWorker("fail=B-2", second, secondBlock), static_cast<DWORD>(HSE_STATUS_ERROR));

    ExpectErrorPage(firstBlock, first, "Invoice B-1 is missing");
    ExpectErrorPage(secondBlock, second, "Invoice B-2 is missing");
    EXPECT_EQ(second.body.find("B-1"), std::string::npos);
    // A request that did not fail gets only its own page.
    EXPECT_EQ(goodBlock.dwHttpStatusCode, 200u);
    EXPECT_EQ(good.statusText, "200 OK");
    EXPECT_EQ(good.body, "served week=3");
    EXPECT_EQ(good.writes, 1);
}

TEST_F(ExtensionHost, ConcurrentRequestsEachGetOnlyTheirOwnAnswer) {
    HANDLE held = CreateEventA(nullptr, FALSE, FALSE, "brenvik-isapi-held");
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "brenvik-isapi-release");
    ASSERT_NE(held, nullptr);
    ASSERT_NE(release, nullptr);
    TRecordedResponse failing, good;
    EXTENSION_CONTROL_BLOCK failingBlock, goodBlock;
    const std::string failingQuery = "held-fail=C-1";
    TWorkerCall call{failingQuery, failing, failingBlock, 0};
    HANDLE thread = CreateThread(nullptr, 0, RunWorkerCall, &call, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    // The good request starts and ends while the failing one is in progress.
    EXPECT_EQ(WaitForSingleObject(held, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(ServeOnWorker("week=4", good, goodBlock), static_cast<DWORD>(HSE_STATUS_SUCCESS));
    SetEvent(release);
    EXPECT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseHandle(held);
    CloseHandle(release);

    EXPECT_EQ(call.status, static_cast<DWORD>(HSE_STATUS_ERROR));
    ExpectErrorPage(failingBlock, failing, "Invoice C-1 is missing");
    EXPECT_EQ(goodBlock.dwHttpStatusCode, 200u);
    EXPECT_EQ(good.body, "served week=4");
    EXPECT_EQ(good.writes, 1);
}

}  // namespace
