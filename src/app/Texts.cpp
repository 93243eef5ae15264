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
        // "Veltra II was closed or stopped responding during the import. %d code(s) were typed in; the rest
        // is still in the collector."
        {kTextTargetVanished, "System Veltra II zosta\xb3 zamkni\xeaty lub przesta\xb3 odpowiada\xe6 w trakcie "
                              "importu. Wprowadzono %d kod(\xf3w), pozosta\xb3" "e kody s\xb9 nadal w kolektorze."},
    };
    return table.at(id);
}

}  // namespace brenvik
