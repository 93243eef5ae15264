#pragma once
#include <sys/types.h>

#include <filesystem>
#include <string>

namespace brenvik::e2e {

// A real lighttpd on 127.0.0.1 serving the CGI scripts of one folder: its
// configuration is written into `folder`, it listens on a free port, and it
// is stopped by pid when this ends.
class CgiWebServer {
public:
    // Serves every "*.cgi" of `scripts` (run by /bin/sh); throws when the
    // server does not come up.
    CgiWebServer(const std::filesystem::path& folder, const std::filesystem::path& scripts);
    ~CgiWebServer();
    CgiWebServer(const CgiWebServer&) = delete;
    CgiWebServer& operator=(const CgiWebServer&) = delete;

    std::string Url(const std::string& path) const;
    // The server's error log, where it notes CGI failures.
    std::string ErrorLog() const;

private:
    bool Start(const std::filesystem::path& scripts);
    void Stop();

    std::filesystem::path folder_;
    int port_ = 0;
    pid_t pid_ = -1;
};

// A response as curl received it.
struct HttpResponse {
    int status = 0;
    std::string headers;  // the raw header lines
    std::string body;
};

// Fetches `url` with curl, bounded by `timeoutSeconds`; status 0 when nothing came back.
HttpResponse FetchWithCurl(const std::string& url, const std::filesystem::path& scratch, int timeoutSeconds);

}  // namespace brenvik::e2e
