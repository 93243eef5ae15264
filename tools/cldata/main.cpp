// Build step that gives a linked Windows executable its crash-report data
// block: the debug information from its DWARF line tables and symbols, with
// the report options in front (the defaults, or those of an options file),
// compressed as the "CLDATA" resource.
//
//   cldata embed --exe A.exe --objdump TOOL --block OUT.bin --rc OUT.rc [--options FILE]
//   cldata compare-code A.exe B.exe     fails when the code of the two differs
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "BinutilsListings.h"
#include "DebugInfoBuilder.h"
#include "PeImage.h"
#include "crash/debuginfo/ModuleDataBlock.h"
#include "crash/options/CrashOptionsFile.h"

namespace {

std::string Quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

std::string Output(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string text;
    char buffer[65536];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) text.append(buffer, n);
    if (const int status = pclose(pipe.release()); status != 0)
        throw std::runtime_error("failed (status " + std::to_string(status) + "): " + command);
    return text;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

// Days since 30 December 1899; SOURCE_DATE_EPOCH keeps builds reproducible.
double BuildTime() {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    const double seconds = epoch ? std::stod(epoch) : static_cast<double>(std::time(nullptr));
    return 25569.0 + seconds / 86400.0;
}

const cldata::PeSection& CodeSection(const cldata::PeImage& image, const std::string& path) {
    const cldata::PeSection* text = image.Find(".text");
    if (!text) throw std::runtime_error(path + " has no .text section");
    return *text;
}

// Section numbers of the symbol table count from 1.
int SectionNumber(const cldata::PeImage& image, const cldata::PeSection& section) {
    return static_cast<int>(&section - image.Sections.data()) + 1;
}

int Embed(const std::map<std::string, std::string>& options) {
    // First, so a mistyped options file fails the build before the slow listings.
    brenvik::TCrashModuleOptions reportOptions("", false);
    if (const auto file = options.find("--options"); file != options.end())
        brenvik::ApplyCrashOptionsFile(file->second, reportOptions);

    const std::string& exe = options.at("--exe");
    const cldata::PeImage image = cldata::ReadPeImage(exe);
    const cldata::PeSection& text = CodeSection(image, exe);
    if (text.VirtualAddress != 4096) throw std::runtime_error(exe + ": code does not start at offset 4096");
    const std::string objdump = Quoted(options.at("--objdump"));
    std::istringstream lines(Output(objdump + " --dwarf=decodedline " + Quoted(exe)));
    std::istringstream symbols(Output(objdump + " --syms " + Quoted(exe)));
    const cldata::CodeRange code{image.ImageBase, image.ImageBase + text.VirtualAddress,
                                 image.ImageBase + text.VirtualAddress + text.VirtualSize};
    const auto rows = cldata::ParseDecodedLines(lines);
    const auto codeSymbols = cldata::ParseCodeSymbols(symbols, SectionNumber(image, text), code.Start, !image.Is64Bit);
    const brenvik::TDebugInfo info = cldata::BuildDebugInfo(rows, codeSymbols, code);
    if (info.Units.empty()) throw std::runtime_error(exe + " has no DWARF line information (link with -g)");

    brenvik::TCrashStreamWriter optionsStream;
    reportOptions.SaveToStream(optionsStream);
    const std::string debugInfo = brenvik::EncodeDebugInfo(info);
    const std::string block = brenvik::ComposeResourceDataBlock(BuildTime(), optionsStream.Bytes(), debugInfo);
    WriteFile(options.at("--block"), block);
    WriteFile(options.at("--rc"), "CLDATA RCDATA \"" + options.at("--block") + "\"\n");

    std::size_t dwarf = 0;
    for (const cldata::PeSection& section : image.Sections)
        if (section.Name.rfind(".debug_", 0) == 0) dwarf += section.VirtualSize;
    std::cout << "cldata: " << info.Units.size() << " units, " << info.Procedures.size() << " procedures; debug information "
              << debugInfo.size() << " bytes, block " << block.size() << " bytes = "
              << (dwarf ? 100.0 * static_cast<double>(block.size()) / static_cast<double>(dwarf) : 0.0) << "% of "
              << dwarf << " bytes of DWARF\n";
    return 0;
}

int CompareCode(const std::string& first, const std::string& second) {
    const cldata::PeImage a = cldata::ReadPeImage(first), b = cldata::ReadPeImage(second);
    const cldata::PeSection &codeA = CodeSection(a, first), &codeB = CodeSection(b, second);
    if (a.ImageBase != b.ImageBase || codeA.VirtualAddress != codeB.VirtualAddress || codeA.Data != codeB.Data) {
        std::cerr << "cldata: the code of " << second << " differs from " << first << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (command == "compare-code" && argc == 4) return CompareCode(argv[2], argv[3]);
        if (command == "embed" && argc % 2 == 0) {
            std::map<std::string, std::string> options;
            for (int i = 2; i + 1 < argc; i += 2) options[argv[i]] = argv[i + 1];
            return Embed(options);
        }
        std::cerr << "usage: cldata embed --exe A.exe --objdump TOOL --block OUT.bin --rc OUT.rc [--options FILE]\n"
                     "       cldata compare-code A.exe B.exe\n";
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "cldata: " << error.what() << "\n";
        return 1;
    }
}
