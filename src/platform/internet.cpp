#include "platform/internet.h"

#include <algorithm>

namespace platform {

std::optional<HttpAddress> ParseHttpAddress(const Text& url) {
    const std::string scheme = "http://";
    if (url.compare(0, scheme.size(), scheme) != 0) return std::nullopt;
    const std::string rest = url.substr(scheme.size());
    const std::size_t slash = rest.find('/');
    const std::string authority = rest.substr(0, slash);
    HttpAddress address;
    if (slash != std::string::npos) address.path = rest.substr(slash);
    const std::size_t colon = authority.find(':');
    address.host = authority.substr(0, colon);
    if (address.host.empty()) return std::nullopt;
    if (colon != std::string::npos) {
        const std::string digits = authority.substr(colon + 1);
        if (digits.empty() || digits.size() > 5) return std::nullopt;
        int port = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return std::nullopt;
            port = port * 10 + (c - '0');
        }
        if (port < 1 || port > 65535) return std::nullopt;
        address.port = port;
    }
    return address;
}

}  // namespace platform

namespace platform {

std::optional<HttpResponse> HttpExchange(HttpConnection& connection, const HttpAddress& address,
                                         std::string_view agent, std::size_t maxBody) {
    // Appends only: GCC 12 warns falsely (-Wrestrict) about "literal" + string at -O2.
    std::string request = "GET ";
    request += address.path;
    request += " HTTP/1.0\r\nHost: ";
    request += address.host;
    if (address.port != 80) {
        request += ':';
        request += std::to_string(address.port);
    }
    if (!agent.empty()) {
        request += "\r\nUser-Agent: ";
        request += agent;
    }
    request += "\r\nAccept: */*\r\nPragma: no-cache\r\nCache-Control: no-cache\r\n\r\n";
    if (!connection.Send(request)) return std::nullopt;

    std::string received;
    std::size_t bodyStart = std::string::npos;
    char buffer[4096];
    for (;;) {
        std::size_t want = sizeof buffer;
        if (bodyStart == std::string::npos) {
            const std::size_t end = received.find("\r\n\r\n");
            if (end != std::string::npos) {
                bodyStart = end + 4;
            } else if (received.size() > kMaxHttpHead) {
                return std::nullopt;
            }
        }
        if (bodyStart != std::string::npos) {
            const std::size_t have = received.size() - bodyStart;
            if (have >= maxBody) break;
            want = std::min(want, maxBody - have);
        }
        const long n = connection.Receive(buffer, want);
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        received.append(buffer, static_cast<std::size_t>(n));
    }
    if (bodyStart == std::string::npos) return std::nullopt;
    HttpResponse response;
    response.head = received.substr(0, bodyStart);
    response.body = received.substr(bodyStart, maxBody);
    return response;
}

}  // namespace platform
