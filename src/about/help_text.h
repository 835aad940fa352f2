#pragma once
// The welcome help document: written into DefaultLog on the first run and into
// Help by the "帮助" command. GBK, every line ending with CR LF.
#include "text/text.h"

namespace about {

const Text& WelcomeHelpText();

}  // namespace about
