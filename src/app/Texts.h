#pragma once
#include <string>

namespace brenvik {

// The program's string table; texts are Windows-1250 bytes.
enum TextId : int {
    kTextDefaultHint = 65286,
    kTextSettingsKey = 65287,
    kTextTargetClass = 65288,
    kTextTargetClassAlternative = 65289,
    kTextAppTitle = 65290,
    kTextImportProgress = 65291,
    kTextTargetMissing = 65292,
    kTextImportSummary = 65293,
    kTextCollectorSilent = 65294,
    kTextTargetVanished = 65295,
};

const std::string& LoadText(TextId id);

}  // namespace brenvik
