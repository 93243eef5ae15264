#include "crash/dialog/DialogPositionFile.h"

#include <windows.h>

#include "base/Text.h"

namespace brenvik {

int TDialogPositionFile::ReadInt(const std::string& key, int fallback) {
    char buffer[2048] = {};
    const DWORD length = GetPrivateProfileStringA(kSection, key.c_str(), "", buffer, sizeof buffer, kFileName);
    int value = 0;
    if (length == 0 || !TryParseInt32(std::string_view(buffer, length), value)) return fallback;
    return value;
}

void TDialogPositionFile::WriteInt(const std::string& key, int value) {
    WritePrivateProfileStringA(kSection, key.c_str(), std::to_string(value).c_str(), kFileName);
}

TDetailsGeometry TDialogPositionFile::ReadGeometry(const TDialogMetrics& metrics, int bottomBand) {
    TDetailsGeometry geometry;
    geometry.Width = ReadInt("Width", 640);
    geometry.Height = ReadInt("Height", 385);
    geometry.Left = ReadInt("Left", (metrics.ScreenWidth - geometry.Width) / 2);
    geometry.Top = ReadInt("Top", (metrics.ScreenHeight - (geometry.Height + bottomBand)) / 2);
    geometry.WindowState = ReadInt("WindowsState", 1);
    return geometry;
}

void TDialogPositionFile::WriteGeometry(const TDetailsGeometry& geometry) {
    WriteInt("Width", geometry.Width);
    WriteInt("Height", geometry.Height);
    WriteInt("Left", geometry.Left);
    WriteInt("Top", geometry.Top);
    WriteInt("WindowsState", geometry.WindowState);
}

TDialogPositionFile::TColumnWidths TDialogPositionFile::ReadColumns(const std::string& keyPrefix,
                                                                    const TColumnWidths& defaults) {
    TColumnWidths widths{};
    for (std::size_t i = 0; i < widths.size(); ++i) widths[i] = ReadInt(keyPrefix + std::to_string(i), defaults[i]);
    return widths;
}

void TDialogPositionFile::WriteColumns(const std::string& keyPrefix, const TColumnWidths& widths) {
    for (std::size_t i = 0; i < widths.size(); ++i) WriteInt(keyPrefix + std::to_string(i), widths[i]);
}

}  // namespace brenvik
