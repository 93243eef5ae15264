#include "BinutilsListings.h"

#include <algorithm>
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

std::vector<CodeSymbol> ParseCodeSymbols(std::istream& listing, bool stripLeadingUnderscore) {
    std::vector<CodeSymbol> symbols;
    std::string text;
    while (std::getline(listing, text)) {
        std::istringstream fields(text);
        std::string address, type, name;
        if (!(fields >> address >> type >> name) || (type != "T" && type != "t") || name[0] == '.') continue;
        if (stripLeadingUnderscore && name[0] == '_') name.erase(0, 1);
        symbols.push_back({std::stoull(address, nullptr, 16), name});
    }
    std::stable_sort(symbols.begin(), symbols.end(),
                     [](const CodeSymbol& a, const CodeSymbol& b) { return a.Address < b.Address; });
    return symbols;
}

}  // namespace cldata
