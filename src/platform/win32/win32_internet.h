#pragma once
#include "platform/internet.h"

namespace platform {

// InternetGetConnectedState for the probe; the requests themselves over
// non-blocking Winsock sockets, every wait a select() bounded by what is left
// of the time-out, so nothing outlives a request (WinINet's own waits cannot
// be ended from outside under Wine: a silent or dripping server held a worker
// thread for good).
class Win32Internet : public Internet {
  public:
    bool Probe(const Text& url, int timeoutMilliseconds) override;
    std::optional<std::string> HttpGet(const Text& url, int timeoutMilliseconds,
                                       std::size_t maxBytes) override;
};

}  // namespace platform
