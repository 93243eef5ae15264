#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "crash/dialog/CrashDialogIds.h"
#include "crash/dialog/DialogPositionFile.h"
#include "crash/dialog/DialogRows.h"
#include "crash/dialog/ExceptionDialogState.h"
#include "crash/dialog/SourceJump.h"
#include "platform/Cp1250.h"

namespace brenvik {

namespace {

enum TPageIndex { piGeneral = 0, piCallStack = 1, piModules = 2, piCpu = 3 };

struct TPageTable {
    const wchar_t* Template;
    int LabelText;
};

constexpr TPageTable kPages[] = {
    {L"TAB_MEMO", 5},
    {L"TAB_LIST", 7},
    {L"TAB_LIST1", 9},
    {L"TAB_MEMO1", 11},
};

struct TColumnTable {
    const char* KeyPrefix;
    int FirstHeaderText;
    TDialogPositionFile::TColumnWidths Defaults;
    std::array<bool, 6> RightAligned;
};

const TColumnTable kCallStackColumns = {
    "Col", 47, TDialogPositionFile::kCallStackDefaults, {false, false, false, false, false, true}};
const TColumnTable kModuleColumns = {
    "ColMod", 62, TDialogPositionFile::kModuleDefaults, {false, false, false, true, true, false}};

// One tab page: which it is and the image list its list owns.
struct TDialogPage {
    TExceptionDialogState& State;
    int Index;
    HIMAGELIST Images = nullptr;

    const TColumnTable& Columns() const { return Index == piCallStack ? kCallStackColumns : kModuleColumns; }
    bool IsList() const { return Index == piCallStack || Index == piModules; }
};

void SetWide(HWND window, const std::string& text) { SetWindowTextW(window, WideFromCp1250(text).c_str()); }

void AddRow(HWND list, int row, const std::vector<std::string>& cells, int image) {
    for (std::size_t column = 0; column < cells.size(); ++column) {
        std::wstring text = WideFromCp1250(cells[column]);
        LVITEMW item{};
        item.iItem = row;
        item.iSubItem = static_cast<int>(column);
        item.pszText = text.data();
        if (column == 0) {
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iImage = image;
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        } else {
            item.mask = LVIF_TEXT;
            SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        }
    }
}

// The dialog manager would take Enter for the default button; on a selected
// call-stack row it activates the row, as a double click does.
LRESULT CALLBACK RowsTakeEnter(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (message == WM_GETDLGCODE && lParam != 0) {
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        const bool enter = (key->message == WM_KEYDOWN && key->wParam == VK_RETURN) ||
                           (key->message == WM_CHAR && key->wParam == L'\r');
        if (enter && SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) >= 0)
            return DefSubclassProc(list, message, wParam, lParam) | DLGC_WANTALLKEYS;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(list, RowsTakeEnter, id);
    return DefSubclassProc(list, message, wParam, lParam);
}

void FillList(TDialogPage& page, HWND list) {
    TExceptionDialogState& state = page.State;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageW(list, LVM_SETBKCOLOR, 0, RGB(255, 255, 255));
    SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, RGB(255, 255, 255));
    SendMessageW(list, LVM_SETTEXTCOLOR, 0, RGB(0, 0, 0));
    page.Images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0);
    for (HBITMAP bitmap : state.ListBitmaps)
        if (bitmap != nullptr) ImageList_AddMasked(page.Images, bitmap, RGB(255, 0, 255));
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(page.Images));

    const TColumnTable& table = page.Columns();
    const auto widths = TDialogPositionFile::ReadColumns(table.KeyPrefix, table.Defaults);
    for (int column = 0; column < 6; ++column) {
        std::wstring header = WideFromCp1250(state.Text(table.FirstHeaderText + column));
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        item.fmt = table.RightAligned[column] ? LVCFMT_RIGHT : LVCFMT_LEFT;
        item.cx = widths[column];
        item.pszText = header.data();
        SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
    }

    int row = 0;
    if (page.Index == piCallStack) {
        SetWindowSubclass(list, RowsTakeEnter, 1, 0);
        for (const TCallStackRow& entry : CallStackRows(state.Input.Stack, state.Input.ProgramFileName))
            AddRow(list, row++, entry.Cells, entry.Image);
    } else {
        for (const TModuleRow& entry : ModuleRows(state.Input.Modules)) AddRow(list, row++, entry.Cells, entry.Image);
    }
}

void Initialise(TDialogPage& page, HWND window) {
    TExceptionDialogState& state = page.State;
    HWND label = GetDlgItem(window, IDC_PAGE_LABEL);
    SetWide(label, state.Text(kPages[page.Index].LabelText));
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(state.Fonts->Message()), FALSE);
    HWND content = GetDlgItem(window, IDC_PAGE_CONTENT);
    SendMessageW(content, WM_SETFONT, reinterpret_cast<WPARAM>(state.Fonts->Fixed()), FALSE);
    if (page.IsList())
        FillList(page, content);
    else
        SetWide(content, page.Index == piGeneral ? state.Input.Parts.HeaderText : state.Input.Parts.CpuText);
}

std::wstring CellText(HWND list, int row, int column) {
    wchar_t buffer[1024] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 1024;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

// A row with a line asks the development environment to show that source line.
void JumpToSource(HWND list) {
    const int row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0) return;
    const std::wstring line = CellText(list, row, 5);
    if (line.empty()) return;
    SendSourceJump(Cp1250FromWide(CellText(list, row, 2)),
                   static_cast<std::int32_t>(std::wcstol(line.c_str(), nullptr, 10)));
}

void Destroy(TDialogPage& page, HWND window) {
    if (!page.IsList()) return;
    HWND list = GetDlgItem(window, IDC_PAGE_CONTENT);
    TDialogPositionFile::TColumnWidths widths{};
    for (int column = 0; column < 6; ++column)
        widths[column] = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    TDialogPositionFile::WriteColumns(page.Columns().KeyPrefix, widths);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    if (page.Images != nullptr) ImageList_Destroy(page.Images);
    page.Images = nullptr;
}

INT_PTR HandlePage(TDialogPage& page, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TExceptionDialogState& state = page.State;
    switch (message) {
        case WM_INITDIALOG:
            Initialise(page, window);
            return FALSE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (page.Index == piCallStack && header->idFrom == IDC_PAGE_CONTENT && header->code == LVN_ITEMACTIVATE)
                JumpToSource(header->hwndFrom);
            return FALSE;
        }
        case WM_CTLCOLORSTATIC:
            if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_PAGE_CONTENT) {
                // The read-only memo stays black on white whatever the look.
                SetBkMode(reinterpret_cast<HDC>(wParam), OPAQUE);
                SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
                SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
                return reinterpret_cast<INT_PTR>(state.WhiteBrush);
            }
            [[fallthrough]];
        case WM_CTLCOLORDLG:
            if (!state.Flat()) return FALSE;
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
            return reinterpret_cast<INT_PTR>(state.GreyBrush);
        case WM_DESTROY:
            Destroy(page, window);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto* page = reinterpret_cast<TDialogPage*>(GetWindowLongPtrW(window, DWLP_USER));
    if (page == nullptr) return FALSE;
    INT_PTR result = FALSE;
    try {
        result = HandlePage(*page, window, message, wParam, lParam);
    } catch (...) {
        // Never let a failure leave the crash dialog through the window system.
        result = FALSE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        delete page;
    }
    return result;
}

}  // namespace

HWND CreateDialogPage(TExceptionDialogState& state, HWND tabControl, int index) {
    auto* page = new TDialogPage{state, index};
    HWND window =
        CreateDialogParamW(state.Module, kPages[index].Template, tabControl, PageProc, reinterpret_cast<LPARAM>(page));
    // Without a window nothing else will free the page.
    if (window == nullptr) delete page;
    return window;
}

void PlaceDialogPage(HWND page, HWND tabControl) {
    RECT display{};
    GetClientRect(tabControl, &display);
    SendMessageW(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    const int width = display.right - display.left + 3;
    const int height = display.bottom - display.top + 1;
    MoveWindow(page, display.left - 3, display.top - 1, std::max(width, 0), std::max(height, 0), TRUE);
    MoveWindow(GetDlgItem(page, IDC_PAGE_LABEL), display.left, 4, std::max(width - 8, 0), 14, TRUE);
    MoveWindow(GetDlgItem(page, IDC_PAGE_CONTENT), display.left, 20, std::max(width - 8, 0), std::max(height - 24, 0),
               TRUE);
}

}  // namespace brenvik
