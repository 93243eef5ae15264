#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "crash/stack/CrashStackTypes.h"

namespace brenvik {

// Images of the list pages, in the order of their image list.
enum TDialogListImage : int { liLibrary = 0, liPackage = 1, liProgram = 2, liSource = 3 };

// One row of the call-stack page: Address, Module, Unit, Class, Procedure, Line.
struct TCallStackRow {
    std::vector<std::string> Cells;
    int Image = liLibrary;
};

// One row of the modules page: Handle, Name, Description, Version, Size, Path.
struct TModuleRow {
    std::vector<std::string> Cells;
    int Image = liLibrary;
};

// Entries of a procedure or source line, without the export-name entries of
// the program module itself (its own debug information names those better).
std::vector<TCallStackRow> CallStackRows(const TCrashStackList& stack, const std::string& programFileName);
std::vector<TModuleRow> ModuleRows(const TCrashModulesList& modules);

// "1.2.x" for "1.2.3.4": the version up to its second dot, then "x".
std::string ModuleVersionCell(const std::string& version);
// Size in kilobytes, rounded with halves to even, then " Kb".
std::string ModuleSizeCell(std::uint32_t bytes);

}  // namespace brenvik
