// A console program with the crash-report facility, crashing on purpose: an
// exception no handler catches. Its report, in console_crash.clog beside the
// program, names this file, ParseQuantity and the line of the throw.
//
// usage: console_crash [QUANTITY]      (anything but a positive number crashes)
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "crash/intercept/Crashlog.h"

namespace {

// A static object: the facility starts before main, as it must in a program
// whose main the integrator does not own. It stops after every other static.
brenvik::TCrashlogUnit crashReporting;

int ParseQuantity(const std::string& text) {
    const int quantity = std::atoi(text.c_str());
    if (quantity <= 0) throw std::invalid_argument("not a quantity: \"" + text + "\"");
    return quantity;
}

}  // namespace

int main(int argc, char** argv) {
    crashReporting.EndInitialization();
    std::printf("%d\n", ParseQuantity(argc > 1 ? argv[1] : ""));
    return 0;
}
