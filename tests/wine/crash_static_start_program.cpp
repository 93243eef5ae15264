// A console program whose crash-report facility is started by a static
// object, as in a program whose main the integrator does not own. Run by
// crash_intercept_wine_test.cpp: "return" ends through main (exit code 9),
// "exit" through exit() (11); 5 says the facility did not start.
#include <cstdlib>
#include <cstring>

#include "crash/intercept/Crashlog.h"

namespace {
brenvik::TCrashlogUnit crashlog;
}  // namespace

int main(int argc, char** argv) {
    if (!brenvik::TCrashlog::Active()) return 5;
    crashlog.EndInitialization();
    if (argc > 1 && std::strcmp(argv[1], "exit") == 0) std::exit(11);
    return 9;
}
