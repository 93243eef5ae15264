#include "platform/ShellSystemIcons.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "platform/GdiCanvas.h"

namespace brenvik {
namespace {

// Existing paths are asked as they are; others by their attributes only.
HIMAGELIST SystemImageList(const std::string& path, bool large, int* index) {
    SHFILEINFOA info{};
    UINT flags = SHGFI_SYSICONINDEX | (large ? SHGFI_LARGEICON : SHGFI_SMALLICON);
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        flags |= SHGFI_USEFILEATTRIBUTES;
        attributes = FILE_ATTRIBUTE_NORMAL;
    }
    auto list = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(path.c_str(), attributes, &info, sizeof info, flags));
    if (index) *index = info.iIcon;
    return list;
}

}  // namespace

bool ShellSystemIcons::IconIndexOfPath(const std::string& path, bool large, int& index) {
    return SystemImageList(path, large, &index) != nullptr;
}

TSize ShellSystemIcons::IconSize(bool large) {
    int width = 0, height = 0;
    if (HIMAGELIST list = SystemImageList("C:\\", large, nullptr)) ImageList_GetIconSize(list, &width, &height);
    return {width, height};
}

void ShellSystemIcons::Draw(Canvas& canvas, int index, bool large, int x, int y) {
    auto* gdi = dynamic_cast<GdiCanvas*>(&canvas);
    HIMAGELIST list = SystemImageList("C:\\", large, nullptr);
    if (gdi && list) ImageList_Draw(list, index, gdi->Handle(), x, y, ILD_TRANSPARENT);
}

}  // namespace brenvik
