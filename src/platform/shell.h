#pragma once
#include "text/text.h"

namespace platform {

// The shell's "open" verb: a folder in the file manager, an address in the
// default browser.
class Shell {
  public:
    virtual ~Shell() = default;
    virtual bool Open(const Text& target) = 0;
};

}  // namespace platform
