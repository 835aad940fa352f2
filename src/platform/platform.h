#pragma once
// Everything the program gets from the operating system, handed over at
// entry so tests can see and steer every effect.
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/internet.h"
#include "platform/random.h"
#include "platform/shell.h"

namespace platform {

struct Platform {
    Files& files;
    Desktop& desktop;
    Shell& shell;
    Clock& clock;
    Internet& internet;
    Random& random;
};

}  // namespace platform
