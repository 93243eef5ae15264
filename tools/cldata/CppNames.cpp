#include "CppNames.h"

#include <cxxabi.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>

namespace cldata {
namespace {

const std::string kAnonymous = "(anonymous namespace)";
const std::string kAnonymousToken = "{anonymous}";  // scans as one bracketed word

// A stdcall function's linked name ends in "@" and its argument bytes, for
// C and C++ names alike (window and thread procedures among them), ahead of
// the suffix of a compiler clone (".cold").
std::string WithoutStdcallSuffix(const std::string& name) {
    const std::size_t at = name.rfind('@');
    if (at == std::string::npos || at == 0) return name;
    const std::size_t digitsEnd = std::min(name.find_first_not_of("0123456789", at + 1), name.size());
    if (digitsEnd == at + 1 || (digitsEnd < name.size() && name[digitsEnd] != '.')) return name;
    return name.substr(0, at) + name.substr(digitsEnd);
}

std::string Demangled(const std::string& linkedName) {
    const std::string name = WithoutStdcallSuffix(linkedName);
    // A C name has no dots of its own: what follows one is a clone suffix.
    if (name.rfind("_Z", 0) != 0) return name.substr(0, name.find('.'));
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> text(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status),
                                                     &std::free);
    return status == 0 && text ? text.get() : linkedName;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

bool WordStartsAt(const std::string& text, std::size_t at, const char* word) {
    const std::string w(word);
    if (text.compare(at, w.size(), w) != 0) return false;
    return at == 0 || !(std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '_');
}

}  // namespace

QualifiedName SplitSymbolName(const std::string& linkedName) {
    std::string text = Demangled(linkedName);
    // Compiler clones (".cold", ".constprop.0") belong to the function they were cut from.
    for (std::size_t clone; (clone = text.find(" [clone ")) != std::string::npos;) text.erase(clone);
    ReplaceAll(text, kAnonymous, kAnonymousToken);
    // The name runs from after the return type (last blank outside brackets)
    // to the parameter list; its owner ends at the last "::" outside brackets.
    std::size_t nameStart = 0, scope = std::string::npos, end = text.size();
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (depth == 0 && WordStartsAt(text, i, "operator")) {
            std::size_t j = i + 8;
            if (text.compare(j, 2, "()") == 0) j += 2;
            while (j < text.size() && text[j] != '(') ++j;
            i = j - 1;
            continue;
        }
        if (depth == 0 && c == '(') {
            end = i;
            break;
        }
        if (c == '<' || c == '(' || c == '[' || c == '{') ++depth;
        if ((c == '>' || c == ')' || c == ']' || c == '}') && depth > 0) --depth;
        if (depth == 0 && c == ' ') nameStart = i + 1;
        if (depth == 0 && c == ':' && i + 1 < text.size() && text[i + 1] == ':') scope = i++;
    }
    QualifiedName result;
    if (scope != std::string::npos && scope >= nameStart && scope < end) {
        result.Class = text.substr(nameStart, scope - nameStart);
        result.Procedure = text.substr(scope + 2, end - scope - 2);
    } else {
        result.Procedure = text.substr(nameStart, end - nameStart);
    }
    ReplaceAll(result.Class, kAnonymousToken, kAnonymous);
    if (result.Procedure.empty()) result.Procedure = linkedName;
    return result;
}

}  // namespace cldata
