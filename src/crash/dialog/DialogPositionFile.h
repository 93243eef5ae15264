#pragma once
#include <array>
#include <string>

#include "crash/dialog/DialogGeometry.h"

namespace brenvik {

// "Crashlog.ini", section "Coordinates": where the exception dialog's
// details view was and how wide its list columns were. Given to the
// private-profile functions as a bare name, so it lives in the Windows folder.
// Unreadable values fall back to the defaults; failed writes are ignored.
class TDialogPositionFile {
public:
    static constexpr const char* kFileName = "Crashlog.ini";
    static constexpr const char* kSection = "Coordinates";

    using TColumnWidths = std::array<int, 6>;
    static constexpr TColumnWidths kCallStackDefaults = {80, 102, 105, 118, 137, 48};
    static constexpr TColumnWidths kModuleDefaults = {80, 100, 130, 65, 65, 150};

    // Absent values: 640 x 385 centred on the screen (the bottom band counts
    // in the vertical centring), normal window state.
    static TDetailsGeometry ReadGeometry(const TDialogMetrics& metrics, int bottomBand);
    static void WriteGeometry(const TDetailsGeometry& geometry);

    // Keys "Col0".."Col5" for the call stack, "ColMod0".."ColMod5" for modules.
    static TColumnWidths ReadColumns(const std::string& keyPrefix, const TColumnWidths& defaults);
    static void WriteColumns(const std::string& keyPrefix, const TColumnWidths& widths);

private:
    static int ReadInt(const std::string& key, int fallback);
    static void WriteInt(const std::string& key, int value);
};

}  // namespace brenvik
