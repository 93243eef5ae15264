#include "app/Texts.h"

#include <map>
#include <stdexcept>

namespace brenvik {

const std::string& LoadText(TextId id) {
    static const std::map<int, std::string> table = {
        {kTextDefaultHint, "Przesu\xf1 mysz na obiekt aby otrzyma\xe6 podpowied\x9f."},
        {kTextSettingsKey, "Software\\Morvane"},
        {kTextTargetClass, "TMain865D2C3C09434DF4AFA2EDF18B0423EA"},
        {kTextTargetClassAlternative, "TMain865D2C3C09434DF4AFA2EDF18B0423EB"},
        {kTextAppTitle, "Brenvik"},
        {kTextImportProgress, "Wprowadzono %d szt."},
        {kTextTargetMissing, "System Veltra II nie jest aktywny. Przed wprowadzeniem informacji uruchom Veltra II."},
        {kTextImportSummary, "Zaimportowano %d kod(\xf3w) z czego %d odrzucono."},
        {kTextCollectorSilent, "Brak po\xb3\xb9" "czenia z kolektorem danych!"},
    };
    return table.at(id);
}

}  // namespace brenvik
