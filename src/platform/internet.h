#pragma once
// The network facility of the version check: a connectivity probe and a plain
// HTTP/1.0 download. Both give up after the time-out so a silent server cannot
// hold the window forever, and read a bounded amount whatever a server sends.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/text.h"

namespace platform {

class Internet {
  public:
    virtual ~Internet() = default;
    // True when the system reports a connection and a request for `url`
    // ("http://host[:port]/path") gets any HTTP answer at all.
    virtual bool Probe(const Text& url, int timeoutMilliseconds) = 0;
    // GET `url` with request version HTTP/1.0, "Accept: */*", never from a
    // cache. The body whatever the status, cut after `maxBytes`: the rest is
    // not read and the connection is closed. nullopt when the connection or
    // the request fails or the time-out runs out first.
    virtual std::optional<std::string> HttpGet(const Text& url, int timeoutMilliseconds,
                                               std::size_t maxBytes) = 0;
};

// The parts of an "http://host[:port]/path" address; nullopt for anything else.
struct HttpAddress {
    std::string host;
    int port = 80;
    std::string path = "/";
};
std::optional<HttpAddress> ParseHttpAddress(const Text& url);

// A connection a backend opened to the address, every wait bounded by the
// deadline it was opened with.
class HttpConnection {
  public:
    virtual ~HttpConnection() = default;
    // False when the bytes cannot all be sent before the deadline.
    virtual bool Send(std::string_view bytes) = 0;
    // Waits for bytes and reads at most `size`: their count, 0 at the end of
    // the stream, -1 on failure or once the deadline has passed.
    virtual long Receive(char* buffer, std::size_t size) = 0;
};

// A status line and headers longer than this are no answer of a web server.
inline constexpr std::size_t kMaxHttpHead = 16 * 1024;

struct HttpResponse {
    std::string head;  // status line and headers, up to the blank line
    std::string body;
};

// One GET over `connection`: the head and at most `maxBody` bytes of body,
// reading no further. `agent` is the User-Agent, none when empty. nullopt
// when sending fails, the stream ends or fails before the head is complete,
// the head is too long, or the body fails before its end or `maxBody`.
std::optional<HttpResponse> HttpExchange(HttpConnection& connection, const HttpAddress& address,
                                         std::string_view agent, std::size_t maxBody);

}  // namespace platform
