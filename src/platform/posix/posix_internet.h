#pragma once
#include "platform/internet.h"

namespace platform {

// A small blocking HTTP/1.0 client over POSIX sockets; every wait is a poll()
// bounded by what is left of the time-out.
class PosixInternet : public Internet {
  public:
    bool Probe(const Text& url, int timeoutMilliseconds) override;
    std::optional<std::string> HttpGet(const Text& url, int timeoutMilliseconds,
                                       std::size_t maxBytes) override;
};

}  // namespace platform
