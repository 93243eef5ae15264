// The port list read from Plug-and-Play keys that the test writes into its
// own prefix's registry.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/Exception.h"
#include "platform/Win32CommApi.h"
#include "platform/Win32Registry.h"
#include "serial/SerialPort32.h"

namespace brenvik {
namespace {

const char kInterfaces[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{86E0D1E0-8089-11D0-9CE4-08003E301F73}";
const char kEnumRoot[] = "SYSTEM\\CurrentControlSet\\Enum\\BRENVIKTEST";
const char kPortsClass[] = "{4D36E978-E325-11CE-BFC1-08002BE10318}";

void SetValue(const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (name) RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}
void SetText(const std::string& path, const char* name, const std::string& value) {
    SetValue(path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

class PortListWineTest : public ::testing::Test {
protected:
    void TearDown() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kInterfaces);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEnumRoot);
    }
    void AddDevice(const std::string& id, const std::string& friendlyName, const std::string& portName,
                   const char* classGuid = kPortsClass, bool present = true) {
        std::string instance = std::string("BRENVIKTEST\\") + id;
        std::string instanceKey = std::string("SYSTEM\\CurrentControlSet\\Enum\\") + instance;
        SetText(std::string(kInterfaces) + "\\##?#" + id, "DeviceInstance", instance);
        SetText(instanceKey, "ClassGUID", classGuid);
        SetText(instanceKey, "FriendlyName", friendlyName);
        SetText(instanceKey + "\\Device Parameters", "PortName", portName);
        if (present) SetValue(instanceKey + "\\Control", nullptr, 0, nullptr, 0);
    }

    std::unique_ptr<RegistryReader> registry = OpenRegistryReader(HKEY_LOCAL_MACHINE);
};

TEST_F(PortListWineTest, ReadsPresentSerialPortsFromTheRegistry) {
    AddDevice("A1", "Kolektor danych", "COM3");
    AddDevice("A2", "Kolektor danych", "COM4");
    AddDevice("A3", "Od\xb3\xb9" "czony", "COM5", kPortsClass, false);
    AddDevice("A4", "Modem", "COM6", "{4D36E96D-E325-11CE-BFC1-08002BE10318}");
    TSerialPort32 port{SystemCommApi(), *registry};
    TComPortInfoList& list = port.PortList();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.PortNameOf("KOLEKTOR DANYCH"), "COM3");
    EXPECT_EQ(list.PortNameOf("Od\xb3\xb9" "czony"), "");
    EXPECT_EQ(list.PortNameOf("Modem"), "");
}

TEST_F(PortListWineTest, NonTextValueRaisesTheReadError) {
    AddDevice("B1", "Good", "COM3");
    AddDevice("B2", "Bad", "COM4");
    DWORD number = 4;
    SetValue("SYSTEM\\CurrentControlSet\\Enum\\BRENVIKTEST\\B2\\Device Parameters", "PortName", REG_DWORD, &number,
             sizeof number);
    TSerialPort32 port{SystemCommApi(), *registry};
    EXPECT_THROW(port.PortList(), ERegistryException);
    EXPECT_EQ(port.PortList().PortNameOf("Good"), "COM3");
}

}  // namespace
}  // namespace brenvik
