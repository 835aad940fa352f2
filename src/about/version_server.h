#pragma once
// Where the home page and the version page live, and how long the version
// check waits. One setting for both pages; tests point it at their own server.
#include "about/home_page.h"
#include "text/text.h"

namespace about {

struct VersionServer {
    Text host = "moxia.local";
    int port = 8064;
    // The connectivity probe's well-known public address.
    Text probeAddress = "http://www.msftconnecttest.com/connecttest.txt";
    // A server that accepts and never answers must not freeze the window.
    int timeoutMilliseconds = 5000;

    // "http://host:port" + path.
    Text Address(const Text& path) const {
        return "http://" + host + ":" + DecimalText(port) + path;
    }
    Text HomePage() const { return Address("/"); }
    Text VersionPage() const { return Address("/ver/ver.html"); }
};

}  // namespace about
