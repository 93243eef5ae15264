#include "crash/report/ReportCpu.h"

#include <array>
#include <cstdint>
#include <vector>

namespace brenvik {

namespace {

constexpr int kDumpLines = 16;
constexpr int kCodeBytesPerLine = 16;

std::uint64_t LittleEndianWord(const std::uint8_t* bytes, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

}  // namespace

std::string MemoryDumpText(const TCrashRegisters& registers, const ProcessMemory& memory, int addressDigits) {
    const int wordSize = addressDigits / 2;
    std::vector<std::uint8_t> stack(static_cast<std::size_t>(kDumpLines * wordSize));
    std::array<std::uint8_t, kDumpLines * kCodeBytesPerLine> code{};
    if (!memory.Read(registers.Esp, stack.data(), stack.size()) ||
        !memory.Read(registers.Eip, code.data(), code.size()))
        return "";

    std::string dump;
    for (int line = 0; line < kDumpLines; ++line) {
        const std::uint8_t* bytes = &code[static_cast<std::size_t>(line * kCodeBytesPerLine)];
        dump += HexText(registers.Esp + static_cast<CrashAddress>(line * wordSize), addressDigits) + ": " +
                HexText(LittleEndianWord(&stack[static_cast<std::size_t>(line * wordSize)], wordSize), addressDigits) +
                "   " + HexText(registers.Eip + static_cast<CrashAddress>(line * kCodeBytesPerLine), addressDigits) +
                ": ";
        for (int i = 0; i < kCodeBytesPerLine; ++i) dump += " " + HexText(bytes[i], 2);
        dump += ' ';
        for (int i = 0; i < kCodeBytesPerLine; ++i)
            dump += bytes[i] < 32 || bytes[i] > 126 ? '.' : static_cast<char>(bytes[i]);
        dump.append(kCrLf);
    }
    return dump;
}

std::string CpuText(const std::optional<TCrashRegisters>& registers, const ProcessMemory& memory,
                    const TCrashModuleOptions& options, int addressDigits) {
    auto reg = [&](CrashAddress TCrashRegisters::*field) {
        return registers ? HexText((*registers).*field, addressDigits) : std::string("????");
    };
    std::string stackTitle = options.GetText(69) + ":";
    if (stackTitle.size() < 21) stackTitle.append(21 - stackTitle.size(), ' ');
    using R = TCrashRegisters;
    return options.GetText(68) + ":\r\n-----------------------------\r\n" +                    //
           "EAX: " + reg(&R::Eax) + "   EDI: " + reg(&R::Edi) + "\r\n" +                       //
           "EBX: " + reg(&R::Ebx) + "   ESI: " + reg(&R::Esi) + "\r\n" +                       //
           "ECX: " + reg(&R::Ecx) + "   ESP: " + reg(&R::Esp) + "\r\n" +                       //
           "EDX: " + reg(&R::Edx) + "   EIP: " + reg(&R::Eip) + "\r\n\r\n" +                   //
           stackTitle + options.GetText(70) + ":\r\n" +                                         //
           "------------------   "                                                               //
           "---------------------------------------------------------------------------\r\n" +  //
           (registers ? MemoryDumpText(*registers, memory, addressDigits) : std::string());
}

}  // namespace brenvik
