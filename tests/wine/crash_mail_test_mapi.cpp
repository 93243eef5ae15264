// A Simple MAPI provider for the tests: resolves every name to itself and
// records each sent message in the file named by BRENVIK_MAPI_RECORD.
#include <windows.h>
#include <mapi.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Record(const std::string& line) {
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("BRENVIK_MAPI_RECORD", path, MAX_PATH)) return;
    if (FILE* file = std::fopen(path, "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

std::string Text(const char* text) { return text ? text : "(null)"; }

struct Resolved {
    MapiRecipDesc Descriptor;
    char Name[256];
    char Address[300];
    unsigned char EntryId[4];
};

}  // namespace

extern "C" {

__declspec(dllexport) ULONG WINAPI MAPILogon(ULONG_PTR, LPSTR, LPSTR, FLAGS flags, ULONG, LPLHANDLE session) {
    Record("logon flags=" + std::to_string(flags));
    *session = 77;
    return SUCCESS_SUCCESS;
}

__declspec(dllexport) ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR, FLAGS, ULONG) {
    Record("logoff session=" + std::to_string(session));
    return SUCCESS_SUCCESS;
}

__declspec(dllexport) ULONG WINAPI MAPIResolveName(LHANDLE session, ULONG_PTR, LPSTR name, FLAGS, ULONG,
                                                   lpMapiRecipDesc* found) {
    if (session != 77 || std::strstr(name, "unknown")) return MAPI_E_UNKNOWN_RECIPIENT;
    auto* resolved = new Resolved{};
    std::snprintf(resolved->Name, sizeof resolved->Name, "Name of %s", name);
    std::snprintf(resolved->Address, sizeof resolved->Address, "SMTP:%s", name);
    std::memcpy(resolved->EntryId, "ID42", 4);
    resolved->Descriptor.lpszName = resolved->Name;
    resolved->Descriptor.lpszAddress = resolved->Address;
    resolved->Descriptor.ulEIDSize = 4;
    resolved->Descriptor.lpEntryID = resolved->EntryId;
    *found = &resolved->Descriptor;
    return SUCCESS_SUCCESS;
}

__declspec(dllexport) ULONG WINAPI MAPIFreeBuffer(LPVOID buffer) {
    delete reinterpret_cast<Resolved*>(buffer);  // the descriptor is the first member
    return SUCCESS_SUCCESS;
}

__declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR, lpMapiMessage message, FLAGS flags,
                                                ULONG) {
    Record("send session=" + std::to_string(session) + " flags=" + std::to_string(flags));
    Record("subject=" + Text(message->lpszSubject));
    Record("note=" + Text(message->lpszNoteText));
    for (ULONG i = 0; i < message->nRecipCount; ++i) {
        const MapiRecipDesc& to = message->lpRecips[i];
        const std::string id = to.lpEntryID ? std::string(static_cast<const char*>(to.lpEntryID), to.ulEIDSize) : "";
        Record("to class=" + std::to_string(to.ulRecipClass) + " name=" + Text(to.lpszName) +
               " address=" + Text(to.lpszAddress) + " id=" + id);
    }
    for (ULONG i = 0; i < message->nFileCount; ++i) {
        const MapiFileDesc& file = message->lpFiles[i];
        Record("file position=" + std::to_string(static_cast<long>(file.nPosition)) + " path=" +
               Text(file.lpszPathName) + " name=" + Text(file.lpszFileName));
    }
    return std::strstr(Text(message->lpszSubject).c_str(), "fail") ? MAPI_E_FAILURE : SUCCESS_SUCCESS;
}

}  // extern "C"
