// Stands in for a mail client's mailto handler: appends its command line to
// the file named by BRENVIK_MAILTO_RECORD.
#include <windows.h>

#include <cstdio>

int main() {
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("BRENVIK_MAILTO_RECORD", path, MAX_PATH)) return 1;
    FILE* file = std::fopen(path, "ab");
    if (!file) return 1;
    std::fprintf(file, "%s\n", GetCommandLineA());
    std::fclose(file);
    return 0;
}
