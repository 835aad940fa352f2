#include "platform/internet.h"

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
