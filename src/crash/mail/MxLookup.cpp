#include "crash/mail/MxLookup.h"

#include "crash/mail/DnsMx.h"
#include "crash/mail/MailRecipients.h"
#include "crash/mail/TCrashClientSocket.h"

namespace brenvik {

namespace {

std::string AskServer(CrashSocketApi& sockets, const std::string& server, const std::string& query,
                      std::int32_t timeout) {
    TCrashClientSocket socket(sockets, server, 53, false, timeout);
    socket.Connect();
    if (socket.Send(query.data(), static_cast<int>(query.size())) != static_cast<int>(query.size())) return {};
    return ParseMxReply(socket.ReadWithTimeout());
}

}  // namespace

std::string ResolveMxHost(CrashSocketApi& sockets, const std::string& address, const std::vector<std::string>& servers,
                          std::int32_t timeout) {
    const std::string domain = MailDomain(address);
    const std::string query = BuildMxQuery(domain);
    if (!query.empty()) {
        for (const std::string& entry : servers) {
            const std::string server = TrimBlanks(entry);
            if (server.empty() || server == "0.0.0.0") continue;
            const std::string host = AskServer(sockets, server, query, timeout);
            if (!host.empty()) return host;
        }
    }
    throw ECrashSocketError("Cannot resolve the \"" + domain + "\" MX record.");
}

}  // namespace brenvik
