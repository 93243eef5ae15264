#include "crash/report/ReportHeader.h"

#include "crash/report/TLogItem.h"

namespace brenvik {

namespace {

constexpr std::size_t kWindowTextLimit = 256;

std::string Trim(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return std::string(text.substr(first, last - first));
}

std::string QuotedParameters(const std::vector<std::string>& parameters) {
    std::string text;
    for (const std::string& parameter : parameters) {
        if (!text.empty()) text += ' ';
        text += '"' + parameter + '"';
    }
    return text;
}

std::string NinetyFiveFamilyName(const TCrashOsVersion& version) {
    const std::string service = Trim(version.ServicePack);
    if (version.Minor < 10) return service == "B" ? "Microsoft Windows 95 OSR 2" : "Microsoft Windows 95";
    if (version.Minor < 90) return service == "A" ? "Microsoft Windows 98 SE" : "Microsoft Windows 98";
    if (version.Minor == 90) return "Microsoft Windows ME";
    return "";
}

std::string NtFamilyName(const TCrashOsVersion& version) {
    switch (version.Major) {
        case 4: return "Microsoft Windows NT 4.0";
        case 5:
            if (version.Minor == 0) return "Microsoft Windows 2000";
            if (version.Minor == 1) return "Microsoft Windows XP";
            if (version.Minor == 2) return "Microsoft Windows 2003";
            return "";
        case 6:
            if (version.Minor == 0) return "Microsoft Windows Vista";
            if (version.Minor == 1) return "Microsoft Windows 7";
            if (version.Minor == 2) return "Microsoft Windows 8";
            if (version.Minor == 3) return "Microsoft Windows 8.1";
            return "";
        case 10:
            // Windows 11 kept the version number 10.0; only the build tells them apart.
            if (version.Minor == 0) return version.Build < 22000 ? "Microsoft Windows 10" : "Microsoft Windows 11";
            return "";
        default: return "";
    }
}

std::string WithFullStop(std::string text) {
    if (text.empty() || text.back() != '.') text += '.';
    return text;
}

}  // namespace

TCrashExceptionItems ExceptionItems(const TCrashExceptionInfo& exception, int addressDigits) {
    TCrashExceptionItems items;
    if (exception.Address != 0) items.Address = HexText(exception.Address, addressDigits);
    items.Module = ExtractFileName(exception.ModuleFileName);
    items.Type = exception.ClassName.empty() ? "Unknown exception type." : exception.ClassName;
    items.Message = ControlCharsToSpaces(ErrorMessageText(exception.Message));
    return items;
}

std::string ErrorMessageText(const std::optional<std::string>& message) {
    return WithFullStop(message ? *message : "Unknown error message.");
}

std::string OperatingSystemName(const TCrashOsVersion& version) {
    switch (version.Platform) {
        case TCrashOsPlatform::Windows9x: return NinetyFiveFamilyName(version);
        case TCrashOsPlatform::WindowsNT: return NtFamilyName(version);
        default: return "";
    }
}

std::string BuildReportHeader(const TCrashExceptionInfo& exception, const TCrashModuleOptions& options,
                              const CrashSystemInfo& system, const TCrashReportHost& host) {
    const std::uint32_t bits = options.LogItems();
    auto on = [bits](int bit) { return (bits >> bit & 1u) != 0; };
    auto text = [&options](int index) -> const std::string& { return options.GetText(index); };
    TLogItem block;

    block.AddSection(text(19));
    const std::int32_t bias = system.TimeZoneBias();
    block.AddItem(text(20), CrashDateText(host.StartTime, bias), on(0));
    std::string description = on(1) ? system.MainModuleDescription() : "";
    if (on(1) && description.empty()) description = system.MainModuleFileName();
    block.AddItem(text(21), description, on(1));
    block.AddItem(text(22), on(2) ? system.MainModuleVersion() : "", on(2));
    block.AddItem(text(23), on(3) ? QuotedParameters(system.CommandLineParameters()) : "", on(3));

    block.AddSection(text(24));
    const TCrashExceptionItems items = ExceptionItems(exception, host.AddressDigits);
    block.AddItem(text(25), CrashDateText(exception.Time, bias), on(4));
    block.AddItem(text(26), items.Address, on(5));
    block.AddItem(text(27), items.Module, on(6));
    block.AddItem(text(28), items.Type, on(7));
    block.AddItem(text(29), items.Message, on(8));

    block.AddSection(text(30));
    auto gui = [&](int bit) { return host.InteractiveGui && on(bit); };
    block.AddItem(text(31), gui(9) ? system.ForegroundWindowClass() : "", gui(9));
    std::string foreground = gui(10) ? system.ForegroundWindowText() : "";
    if (foreground.size() > kWindowTextLimit) foreground.resize(kWindowTextLimit);
    block.AddItem(text(32), ControlCharsToSpaces(foreground), gui(10));
    block.AddItem(text(33), exception.FocusClassName, gui(11));
    block.AddItem(text(34), ControlCharsToSpaces(exception.FocusText), gui(12));

    block.AddSection(text(35));
    block.AddItem(text(36), on(13) ? system.ComputerName() : "", on(13));
    block.AddItem(text(37), on(14) ? system.UserName() : "", on(14));
    const TCrashMemoryStatus memory = on(15) || on(16) ? system.MemoryStatus() : TCrashMemoryStatus{};
    block.AddItem(text(38), MegabytesText(memory.TotalPhysical), on(15));
    block.AddItem(text(39), MegabytesText(memory.AvailablePhysical), on(16));
    const std::optional<TCrashDiskSpace> disk = on(17) || on(18) ? system.DiskSpace() : std::nullopt;
    block.AddItem(text(40), disk ? GigabytesText(disk->Total) : "", on(17));
    block.AddItem(text(41), disk ? GigabytesText(disk->FreeToCaller) : "", on(18));

    block.AddSection(text(42));
    const TCrashOsVersion os = on(19) || on(20) || on(21) ? system.OsVersion() : TCrashOsVersion{};
    block.AddItem(text(43), OperatingSystemName(os), on(19));
    const std::uint32_t build = os.Platform == TCrashOsPlatform::WindowsNT ? os.Build : os.Build & 0xFFFFu;
    block.AddItem(text(44), std::to_string(build), on(20));
    block.AddItem(text(45), Trim(os.ServicePack), on(21));
    block.AddItem(text(46), on(22) ? system.DefaultLanguageName() : "", on(22));

    return "Crashlog 4.5.4\r\n\r\n" + block.GetText();
}

}  // namespace brenvik
