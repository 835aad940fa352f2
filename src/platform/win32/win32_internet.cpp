#include "platform/win32/win32_internet.h"

#include <winsock2.h>
#include <ws2tcpip.h>
//
#include <windows.h>
//
#include <wininet.h>

#include <algorithm>
#include <climits>

namespace platform {
namespace {

long long NowMilliseconds() {
    return static_cast<long long>(GetTickCount64());
}

bool WinsockReady() {
    // Started once for the run and never cleaned up: the program ends with it.
    static const bool ready = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

// Waits until the socket can be read (or written); false when it fails or
// the deadline passes first.
bool WaitFor(SOCKET s, bool write, long long deadline) {
    for (;;) {
        const long long left = deadline - NowMilliseconds();
        if (left <= 0) return false;
        fd_set ready, failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(s, &ready);
        FD_SET(s, &failed);
        timeval wait{static_cast<long>(left / 1000), static_cast<long>(left % 1000 * 1000)};
        const int n = select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &wait);
        if (n == SOCKET_ERROR) return false;
        if (n > 0) return FD_ISSET(s, &ready) != 0;  // only in `failed`: the connect failed
    }
}

// Connects without blocking past the deadline; INVALID_SOCKET when no address
// answers.
SOCKET Connect(const HttpAddress& address, long long deadline) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(address.port);
    if (getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found) != 0) return INVALID_SOCKET;
    SOCKET result = INVALID_SOCKET;
    for (addrinfo* a = found; a != nullptr && result == INVALID_SOCKET; a = a->ai_next) {
        const SOCKET s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s == INVALID_SOCKET) continue;
        u_long nonBlocking = 1;
        bool connected = false;
        if (ioctlsocket(s, FIONBIO, &nonBlocking) == 0) {
            connected = connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0;
            if (!connected && WSAGetLastError() == WSAEWOULDBLOCK && WaitFor(s, true, deadline)) {
                int error = 0;
                int length = sizeof error;
                connected = getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                                       &length) == 0 &&
                            error == 0;
            }
        }
        if (connected) {
            result = s;
        } else {
            closesocket(s);
        }
    }
    freeaddrinfo(found);
    return result;
}

// A connected socket whose every wait ends at the deadline.
class SocketConnection : public HttpConnection {
  public:
    SocketConnection(SOCKET s, long long deadline) : socket_(s), deadline_(deadline) {}
    ~SocketConnection() override { closesocket(socket_); }
    SocketConnection(const SocketConnection&) = delete;
    SocketConnection& operator=(const SocketConnection&) = delete;

    bool Send(std::string_view bytes) override {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            if (!WaitFor(socket_, true, deadline_)) return false;
            const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size() - sent, INT_MAX));
            const int n = send(socket_, bytes.data() + sent, chunk, 0);
            if (n == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK) return false;
            if (n > 0) sent += static_cast<std::size_t>(n);
        }
        return true;
    }
    long Receive(char* buffer, std::size_t size) override {
        const int chunk = static_cast<int>(std::min<std::size_t>(size, INT_MAX));
        for (;;) {
            if (!WaitFor(socket_, false, deadline_)) return -1;
            const int n = recv(socket_, buffer, chunk, 0);
            if (n >= 0) return n;
            if (WSAGetLastError() != WSAEWOULDBLOCK) return -1;
        }
    }

  private:
    SOCKET socket_;
    long long deadline_;
};

std::optional<HttpResponse> Fetch(const Text& url, int timeoutMilliseconds, std::string_view agent,
                                  std::size_t maxBody) {
    const std::optional<HttpAddress> address = ParseHttpAddress(url);
    if (!address || !WinsockReady()) return std::nullopt;
    const long long deadline = NowMilliseconds() + timeoutMilliseconds;
    const SOCKET s = Connect(*address, deadline);
    if (s == INVALID_SOCKET) return std::nullopt;
    SocketConnection connection(s, deadline);
    return HttpExchange(connection, *address, agent, maxBody);
}

}  // namespace

bool Win32Internet::Probe(const Text& url, int timeoutMilliseconds) {
    DWORD flags = 0;
    if (!InternetGetConnectedState(&flags, 0)) return false;
    // The status line is answer enough; no body is read.
    const std::optional<HttpResponse> response = Fetch(url, timeoutMilliseconds, "test", 0);
    return response && response->head.starts_with("HTTP/");
}

std::optional<std::string> Win32Internet::HttpGet(const Text& url, int timeoutMilliseconds,
                                                  std::size_t maxBytes) {
    std::optional<HttpResponse> response = Fetch(url, timeoutMilliseconds, "", maxBytes);
    if (!response) return std::nullopt;
    return std::move(response->body);
}

}  // namespace platform
