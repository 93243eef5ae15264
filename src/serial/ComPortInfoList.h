#pragma once
#include <string>

#include "serial/RegistryReader.h"
#include "ui/toolkit/TStringList.h"

namespace brenvik {

class TComPortInfo : public TObject {
public:
    std::string PortName;  // device name that the serial port opens, e.g. "COM1"
};

// Installed serial ports: entry text is the display (friendly) name, the
// attached TComPortInfo (owned) holds the device name.
class TComPortInfoList : public TStringList {
public:
    TComPortInfoList() = default;
    TComPortInfoList(const TComPortInfoList&) = delete;
    TComPortInfoList& operator=(const TComPortInfoList&) = delete;
    ~TComPortInfoList() override;

    void Clear() override;
    // Device name of the first entry with this display name (any case); empty
    // when there is none or it has no device record.
    std::string PortNameOf(const std::string& displayName) const;

    // Appends the present Plug-and-Play serial ports found under root. Stops
    // with ERegistryException at a value of a non-text type; what was found
    // before stays in the list.
    void ReadInstalledPorts(RegistryReader& root);

private:
    void FreeObjects();
};

}  // namespace brenvik
