#pragma once
// Where the home page and the version page live, and how the version check
// asks for the page. One setting for both pages; tests point it at their own
// server.
#include <cstddef>

#include "text/text.h"

namespace about {

// The product's web server: the home page is its root, the version page lives
// on the same host and port.
inline constexpr const char* kServerHost = "moxia.local";
inline constexpr int kServerPort = 8064;

struct VersionServer {
    Text host = kServerHost;
    int port = kServerPort;
    // The connectivity probe's well-known public address.
    Text probeAddress = "http://www.msftconnecttest.com/connecttest.txt";
    // A server that accepts and never answers must not freeze the window.
    int timeoutMilliseconds = 5000;
    // A version page is a few hundred bytes; what a server sends beyond this
    // is not read.
    std::size_t maxPageBytes = 64 * 1024;

    // "http://host:port" + path.
    Text Address(const Text& path) const {
        return "http://" + host + ":" + DecimalText(port) + path;
    }
    Text HomePage() const { return Address("/"); }
    Text VersionPage() const { return Address("/ver/ver.html"); }
};

}  // namespace about
