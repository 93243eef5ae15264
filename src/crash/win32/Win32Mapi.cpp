#include "crash/win32/Win32Mapi.h"

#include <windows.h>
#include <mapi.h>

#include <memory>
#include <vector>

#include "crash/mail/MailMessage.h"
#include "crash/mail/MailRecipients.h"
#include "crash/report/CrashFailureLog.h"

namespace brenvik {

namespace {

constexpr std::size_t kMaxAttachments = 32;
constexpr std::size_t kMaxDisplayName = 256;

std::string ReadMachineString(const std::string& key, const char* value) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return {};
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    const LSTATUS status = RegQueryValueExA(handle, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    return std::string(data, strnlen(data, size));
}

std::string Expanded(const std::string& text) {
    char out[MAX_PATH * 4] = {};
    const DWORD length = ExpandEnvironmentStringsA(text.c_str(), out, sizeof out);
    return length > 0 && length <= sizeof out ? std::string(out) : text;
}

HMODULE LoadMapiLibrary() {
    const std::string client = ReadMachineString("SOFTWARE\\Clients\\Mail", nullptr);
    if (!client.empty()) {
        const std::string path = Expanded(ReadMachineString("SOFTWARE\\Clients\\Mail\\" + client, "DLLPath"));
        if (!path.empty()) {
            if (const HMODULE library = LoadLibraryA(path.c_str())) return library;
        }
    }
    return LoadLibraryA("mapi32.dll");
}

template <class Function>
Function Lookup(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

struct MapiFunctions {
    LPMAPILOGON Logon;
    LPMAPILOGOFF Logoff;
    LPMAPISENDMAIL SendMail;
    ULONG(WINAPI* ResolveName)(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG, lpMapiRecipDesc*);
    ULONG(WINAPI* FreeBuffer)(LPVOID);
};

// A resolved recipient copied out of the MAPI buffer: the descriptor points
// into these strings, which live until the message has been sent.
struct Recipient {
    std::string Name, Address;
    std::vector<unsigned char> EntryId;
};

enum class Outcome { Sent, Unresolved, SendFailed };

Outcome SendThrough(const MapiFunctions& mapi, LHANDLE session, const std::string& recipients,
                 const std::string& subject, const std::string& note, const TReportAttachmentPaths& attachments) {
    std::vector<std::string> paths, names;
    for (const std::string& path : attachments) {
        if (!AttachmentPresent(path) || paths.size() == kMaxAttachments) continue;
        paths.push_back(path);
        names.push_back(PathFileName(path));
    }
    std::vector<MapiFileDesc> files(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        files[i].nPosition = static_cast<ULONG>(-1);
        files[i].lpszPathName = paths[i].data();
        files[i].lpszFileName = names[i].data();
    }

    std::vector<Recipient> resolved;
    for (std::string name : SplitMailRecipients(recipients)) {
        lpMapiRecipDesc found = nullptr;
        if (mapi.ResolveName(session, 0, name.data(), 0, 0, &found) != SUCCESS_SUCCESS || !found) {
            return Outcome::Unresolved;
        }
        Recipient recipient;
        if (found->lpszName) recipient.Name.assign(found->lpszName, strnlen(found->lpszName, kMaxDisplayName));
        recipient.Address = found->lpszAddress && *found->lpszAddress ? found->lpszAddress : recipient.Name;
        if (found->lpEntryID && found->ulEIDSize) {
            const auto* id = static_cast<const unsigned char*>(found->lpEntryID);
            recipient.EntryId.assign(id, id + found->ulEIDSize);
        }
        mapi.FreeBuffer(found);
        resolved.push_back(std::move(recipient));
    }
    std::vector<MapiRecipDesc> descriptors(resolved.size());
    for (std::size_t i = 0; i < resolved.size(); ++i) {
        descriptors[i].ulRecipClass = MAPI_TO;
        descriptors[i].lpszName = resolved[i].Name.data();
        descriptors[i].lpszAddress = resolved[i].Address.data();
        descriptors[i].ulEIDSize = static_cast<ULONG>(resolved[i].EntryId.size());
        descriptors[i].lpEntryID = resolved[i].EntryId.empty() ? nullptr : resolved[i].EntryId.data();
    }

    std::string subjectText = subject, noteText = note;
    MapiMessage message{};
    message.lpszSubject = subjectText.data();
    message.lpszNoteText = noteText.data();
    message.nRecipCount = static_cast<ULONG>(descriptors.size());
    message.lpRecips = descriptors.empty() ? nullptr : descriptors.data();
    message.nFileCount = static_cast<ULONG>(files.size());
    message.lpFiles = files.empty() ? nullptr : files.data();
    return mapi.SendMail(0, 0, &message, MAPI_LOGON_UI, 0) == SUCCESS_SUCCESS ? Outcome::Sent : Outcome::SendFailed;
}

}  // namespace

bool SendReportMapi(const std::string& recipients, const std::string& subject, const std::string& note,
                    const TReportAttachmentPaths& attachments, TCrashFailureLog& log) {
    const HMODULE library = LoadMapiLibrary();
    if (!library) {
        log.Warning(eeEmailMAPIError, "Cannot open the MAPI dll.");
        return false;
    }
    std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> unload(library, &FreeLibrary);
    const MapiFunctions mapi{Lookup<LPMAPILOGON>(library, "MAPILogon"), Lookup<LPMAPILOGOFF>(library, "MAPILogoff"),
                             Lookup<LPMAPISENDMAIL>(library, "MAPISendMail"),
                             Lookup<decltype(MapiFunctions::ResolveName)>(library, "MAPIResolveName"),
                             Lookup<decltype(MapiFunctions::FreeBuffer)>(library, "MAPIFreeBuffer")};
    if (!mapi.Logon || !mapi.Logoff || !mapi.SendMail || !mapi.ResolveName || !mapi.FreeBuffer) {
        log.Warning(eeEmailMAPIError, "Cannot found the MAPI functions.");
        return false;
    }
    LHANDLE session = 0;
    if (mapi.Logon(0, nullptr, nullptr, MAPI_LOGON_UI, 0, &session) != SUCCESS_SUCCESS) {
        log.Warning(eeEmailMAPIError, "Cannot LogOn into the MAPI service.");
        return false;
    }
    const Outcome outcome = SendThrough(mapi, session, recipients, subject, note, attachments);
    if (outcome == Outcome::SendFailed) log.Warning(eeEmailMAPIError, "Cannot send the MAPI message.");
    mapi.Logoff(session, 0, 0, 0);
    return outcome == Outcome::Sent;
}

bool SendInternalErrorMapi(const std::string& traceFile, const std::string& address, const std::string& subject,
                           TCrashFailureLog& log) {
    return SendReportMapi(address, subject, subject, {traceFile, ""}, log);
}

}  // namespace brenvik
