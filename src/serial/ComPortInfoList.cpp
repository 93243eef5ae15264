#include "serial/ComPortInfoList.h"

#include <vector>

#include "base/Text.h"

namespace brenvik {
namespace {

const char kSerialInterfaceClassKey[] =
    "\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{86E0D1E0-8089-11D0-9CE4-08003E301F73}";
const char kEnumKey[] = "\\SYSTEM\\CurrentControlSet\\Enum\\";
const char kPortsClassGuid[] = "{4D36E978-E325-11CE-BFC1-08002BE10318}";

// Device instance paths of every device that exposes the serial-port
// interface; an interface record that does not open keeps its bare name.
std::vector<std::string> SerialInterfaceInstances(RegistryReader& root) {
    std::vector<std::string> instances;
    auto classKey = root.OpenKey(kSerialInterfaceClassKey);
    if (!classKey) return instances;
    instances = classKey->SubkeyNames();
    for (auto& entry : instances) {
        if (auto interfaceKey = root.OpenKey(std::string(kSerialInterfaceClassKey) + "\\" + entry))
            entry = interfaceKey->ReadString("DeviceInstance");
    }
    return instances;
}

}  // namespace

TComPortInfoList::~TComPortInfoList() { FreeObjects(); }

void TComPortInfoList::FreeObjects() {
    for (int i = 0; i < Count(); ++i) delete (*this)[i].Object;
}

void TComPortInfoList::Clear() {
    FreeObjects();
    TStringList::Clear();
}

std::string TComPortInfoList::PortNameOf(const std::string& displayName) const {
    int index = IndexOf(displayName);
    if (index < 0) return {};
    auto* info = dynamic_cast<TComPortInfo*>((*this)[index].Object);
    return info ? info->PortName : std::string();
}

void TComPortInfoList::ReadInstalledPorts(RegistryReader& root) {
    for (const auto& instance : SerialInterfaceInstances(root)) {
        auto device = root.OpenKey(kEnumKey + instance);
        if (!device) continue;
        if (!SameTextAscii(device->ReadString("ClassGUID"), kPortsClassGuid)) continue;
        if (!device->HasSubkey("Control")) continue;  // installed but not present
        int index = Add(device->ReadString("FriendlyName"));
        if (auto parameters = device->OpenSubkey("Device Parameters")) {
            auto* info = new TComPortInfo;
            SetObject(index, info);
            info->PortName = parameters->ReadString("PortName");
        }
    }
}

}  // namespace brenvik
