#pragma once
#include "platform/internet.h"

namespace platform {

// WinINet: InternetGetConnectedState and InternetOpenUrl for the probe,
// InternetConnect + HttpOpenRequest ("HTTP/1.0") for the download; the
// time-out is set on the session for connecting, sending and receiving.
class Win32Internet : public Internet {
  public:
    bool Probe(const Text& url, int timeoutMilliseconds) override;
    std::optional<std::string> HttpGet(const Text& url, int timeoutMilliseconds) override;
};

}  // namespace platform
