#include "BinutilsListings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace cldata {

std::vector<LineRow> ParseDecodedLines(std::istream& listing) {
    std::vector<LineRow> rows;
    std::string text;
    while (std::getline(listing, text)) {
        std::istringstream fields(text);
        std::string file, line, address;
        if (!(fields >> file >> line >> address) || address.rfind("0x", 0) != 0) continue;
        LineRow row;
        row.File = file;
        row.Address = std::stoull(address, nullptr, 16);
        if (line == "-") {
            row.Line = -1;
        } else if (!line.empty() && std::all_of(line.begin(), line.end(), ::isdigit)) {
            row.Line = std::stoi(line);
        } else {
            continue;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

// The number in "(key N)" of an "objdump --syms" line, or -1.
long FieldOf(const std::string& text, const char* key) {
    const std::size_t at = text.find(key);
    return at == std::string::npos ? -1 : std::strtol(text.c_str() + at + std::strlen(key), nullptr, 0);
}

constexpr long kFileRecord = 103;  // storage class of a ".file" record
constexpr long kExternal = 2, kStatic = 3;

}  // namespace

std::vector<CodeSymbol> ParseCodeSymbols(std::istream& listing, int codeSection, std::uint64_t codeStart,
                                         bool stripLeadingUnderscore) {
    std::vector<CodeSymbol> symbols;
    std::string text, source;
    while (std::getline(listing, text)) {
        const std::size_t nx = text.find("(nx ");
        if (text.empty() || text[0] != '[' || nx == std::string::npos) continue;
        std::istringstream fields(text.substr(text.find(')', nx) + 1));
        std::string value, name;
        if (!(fields >> value >> name)) continue;
        const long storage = FieldOf(text, "(scl ");
        if (storage == kFileRecord) {
            source = name == "fake" || name.find('.') == std::string::npos ? "" : name;
            continue;
        }
        if (FieldOf(text, "(sec ") != codeSection || (storage != kExternal && storage != kStatic) || name[0] == '.')
            continue;
        if (stripLeadingUnderscore && name[0] == '_') name.erase(0, 1);
        symbols.push_back({codeStart + std::stoull(value, nullptr, 16), name, source});
    }
    std::stable_sort(symbols.begin(), symbols.end(),
                     [](const CodeSymbol& a, const CodeSymbol& b) { return a.Address < b.Address; });
    return symbols;
}

}  // namespace cldata
