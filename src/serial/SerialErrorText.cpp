#include <cstdint>
#include <string>

#include "serial/SerialPort32.h"

namespace brenvik {
namespace {

struct ErrorEntry {
    std::int32_t code;
    const char* text;  // Windows-1250
};

// Communications error flags (positive) and device error codes (negative).
const ErrorEntry kErrorTexts[] = {
    {1, "Przepe\xb3nienie bufora wej\x9c" "ciowego."},  // CE_RXOVER
    {2, "Znak zosta\xb3 nadpisany przed jego odczytaniem."},  // CE_OVERRUN
    {4, "Sprz\xeatowo wykryty b\xb3\xb9" "d parzysto\x9c" "ci."},  // CE_RXPARITY
    {8, "Sprz\xeatowo wykryty b\xb3\xb9" "d ramki."},  // CE_FRAME
    {16, "Sprz\xeatowo wykryte przerwanie transmisji."},  // CE_BREAK
    {256, "Przepe\xb3nienie bufora wyj\x9c" "ciowego."},  // CE_TXFULL
    {512, "Przekroczenie czasu oczekiwania podczas transmisji."},  // CE_PTO
    {1024, "B\xb3\xb9" "d wej\x9c" "cia/wyj\x9c" "cia podczas transmisji."},  // CE_IOE
    {2048, "Urz\xb9" "dzenie pod\xb3\xb9" "czone do portu nie zosta\xb3o wybrane."},  // CE_DNS
    {4096, "Brak papieru."},  // CE_OOP
    {32768, "Wybrany tryb jest niedopuszczalny."},  // CE_MODE
    {-1, "Urz\xb9" "dzenie jest niew\xb3" "a\x9c" "ciwe."},  // IE_BADID
    {-2, "Port jest ju\xbf otwarty."},  // IE_OPEN
    {-3, "Port nie jest otwarty."},  // IE_NOPEN
    {-4, "Nie mo\xbfna utworzy\xe6 kolejek."},  // IE_MEMORY
    {-5, "B\xb3\xea" "dne parametry pocz\xb9tkowe."},  // IE_DEFAULT
    {-10, "Urz\xb9" "dzenie niedost\xeapne (otwarte przez inny program)."},  // IE_HARDWARE
    {-11, "Rozmiar bajtu jest niew\xb3" "a\x9c" "ciwy."},  // IE_BYTESIZE
    {-12, "Szybko\x9c\xe6 nie obs\xb3ugiwana przez urz\xb9" "dzenie."},  // IE_BAUDRATE
};

}  // namespace

std::string TSerialPort32::ErrorText(std::int32_t code) {
    for (const auto& entry : kErrorTexts)
        if (entry.code == code) return entry.text;
    return "Generalny b\xb3\xb9" "d nr " + std::to_string(static_cast<std::uint32_t>(code));
}

}  // namespace brenvik
