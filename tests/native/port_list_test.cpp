#include <gtest/gtest.h>

#include "FakeCommApi.h"
#include "FakeRegistry.h"
#include "base/Exception.h"
#include "serial/SerialPort32.h"

namespace brenvik {
namespace {

using testing::FakeCommApi;
using testing::FakeRegistry;

const std::string kInterfaces =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{86E0D1E0-8089-11D0-9CE4-08003E301F73}\\";
const std::string kEnum = "SYSTEM\\CurrentControlSet\\Enum\\";
const std::string kPortsClass = "{4D36E978-E325-11CE-BFC1-08002BE10318}";

class PortListTest : public ::testing::Test {
protected:
    // One interface record and its device instance.
    void AddDevice(const std::string& record, const std::string& instance, const std::string& friendlyName,
                   const std::string& portName, const std::string& classGuid = kPortsClass, bool present = true) {
        registry.SetText(kInterfaces + record, "DeviceInstance", instance);
        registry.SetText(kEnum + instance, "ClassGUID", classGuid);
        registry.SetText(kEnum + instance, "FriendlyName", friendlyName);
        registry.SetText(kEnum + instance + "\\Device Parameters", "PortName", portName);
        if (present) registry.Key(kEnum + instance + "\\Control");
    }

    FakeCommApi comm;
    FakeRegistry registry;
    TSerialPort32 port{comm, registry};
};

TEST_F(PortListTest, ListsPresentPortsOfThePortsClassInWalkOrder) {
    AddDevice("#1", "ACPI\\PNP0501\\1", "Port komunikacyjny (COM1)", "COM1");
    AddDevice("#2", "USB\\VID_1\\2", "Kolektor", "COM7");
    AddDevice("#3", "USB\\VID_1\\3", "Kolektor", "COM8");  // same friendly name
    AddDevice("#4", "ACPI\\PNP0501\\4", "Unplugged", "COM4", kPortsClass, false);
    AddDevice("#5", "MODEM\\5", "Modem", "COM5", "{4D36E96D-E325-11CE-BFC1-08002BE10318}");
    AddDevice("#6", "USB\\VID_1\\6", "Lower-case class", "COM6", "{4d36e978-e325-11ce-bfc1-08002be10318}");

    TComPortInfoList& list = port.PortList();
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[0].Text, "Port komunikacyjny (COM1)");
    EXPECT_EQ(list[3].Text, "Lower-case class");
    EXPECT_EQ(list.PortNameOf("Kolektor"), "COM7");  // the first of the two
    EXPECT_EQ(list.PortNameOf("port KOMUNIKACYJNY (com1)"), "COM1");
    EXPECT_EQ(list.PortNameOf(""), "");
    EXPECT_EQ(list.PortNameOf("Unplugged"), "");
    EXPECT_EQ(registry.OpenKeyCount(), 0);  // every key closed again
}

TEST_F(PortListTest, IsBuiltOnceAndCached) {
    AddDevice("#1", "ACPI\\PNP0501\\1", "COM one", "COM1");
    TComPortInfoList* first = &port.PortList();
    AddDevice("#2", "ACPI\\PNP0501\\2", "COM two", "COM2");
    EXPECT_EQ(&port.PortList(), first);
    EXPECT_EQ(first->Count(), 1);
}

TEST_F(PortListTest, EntryWithoutDeviceParametersHasNoDeviceName) {
    AddDevice("#1", "ACPI\\PNP0501\\1", "Bare", "COM1");
    registry.Key(kEnum + "ACPI\\PNP0501\\1").keys.erase("Device Parameters");
    TComPortInfoList& list = port.PortList();
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Object, nullptr);
    EXPECT_EQ(list.PortNameOf("Bare"), "");
}

TEST_F(PortListTest, NonTextValueStopsTheWalkKeepingWhatWasFound) {
    AddDevice("#1", "ACPI\\PNP0501\\1", "Good", "COM1");
    AddDevice("#2", "ACPI\\PNP0501\\2", "Broken", "COM2");
    AddDevice("#3", "ACPI\\PNP0501\\3", "Never reached", "COM3");
    registry.SetBinary(kEnum + "ACPI\\PNP0501\\2\\Device Parameters", "PortName");
    EXPECT_THROW(port.PortList(), ERegistryException);
    ASSERT_EQ(port.PortList().Count(), 2);  // cached as far as it got
    EXPECT_EQ(port.PortList().PortNameOf("Good"), "COM1");
    EXPECT_EQ(port.PortList().PortNameOf("Broken"), "");
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(PortListTest, MachineWithoutSerialInterfacesHasAnEmptyList) {
    EXPECT_EQ(port.PortList().Count(), 0);
}

}  // namespace
}  // namespace brenvik
