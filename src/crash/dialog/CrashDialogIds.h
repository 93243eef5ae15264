// Control identifiers of the crash-report dialogs, shared by the resource
// script and the dialog code (plain defines: the resource compiler reads it).
#pragma once

// The exception dialog "DIALOG".
#define IDC_CRASH_HEADER 101
#define IDC_CRASH_TABS 1000
#define IDC_CRASH_OK 2
#define IDC_CRASH_TERMINATE 3
#define IDC_CRASH_DETAILS 4
#define IDC_CRASH_LINE 2000
#define IDC_CRASH_SEND 3000
#define IDC_CRASH_SCREENSHOT 4000
#define IDC_CRASH_COPY 5000

// Tab pages "TAB_MEMO", "TAB_LIST", "TAB_LIST1", "TAB_MEMO1".
#define IDC_PAGE_LABEL 102
#define IDC_PAGE_CONTENT 103

// The request dialog "REQUEST" and the progress dialog "SMTP".
#define IDC_REQUEST_LABEL 100
#define IDC_REQUEST_EDIT 101
#define IDC_REQUEST_OK 2
#define IDC_PROGRESS_STATUS 100
#define IDC_PROGRESS_BAR 101
