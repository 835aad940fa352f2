#pragma once
// The network facility of the version check: a connectivity probe and a plain
// HTTP/1.0 download. Both give up after the time-out so a silent server cannot
// hold the window forever.
#include <optional>
#include <string>

#include "text/text.h"

namespace platform {

class Internet {
  public:
    virtual ~Internet() = default;
    // True when the system reports a connection and a request for `url`
    // ("http://host[:port]/path") gets any answer at all.
    virtual bool Probe(const Text& url, int timeoutMilliseconds) = 0;
    // GET `url` with request version HTTP/1.0, "Accept: */*", never from a
    // cache. The whole body whatever the status; nullopt when the connection
    // or the request fails or the time-out runs out.
    virtual std::optional<std::string> HttpGet(const Text& url, int timeoutMilliseconds) = 0;
};

// The parts of an "http://host[:port]/path" address; nullopt for anything else.
struct HttpAddress {
    std::string host;
    int port = 80;
    std::string path = "/";
};
std::optional<HttpAddress> ParseHttpAddress(const Text& url);

}  // namespace platform
