#include "platform/posix/posix_internet.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace platform {
namespace {

// Milliseconds on the monotonic clock (<chrono> does not build with the GBK
// execution character set).
long long NowMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

class Socket {
  public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0) close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

int MillisecondsLeft(long long deadline) {
    const long long left = deadline - NowMilliseconds();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for `events` on fd; false when the deadline passes first.
bool WaitFor(int fd, short events, long long deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int left = MillisecondsLeft(deadline);
        if (left == 0) return false;
        const int n = poll(&p, 1, left);
        if (n > 0) return true;
        if (n == 0) return false;
        if (errno != EINTR) return false;
    }
}

// Connects without blocking past the deadline; -1 when no address answers.
int Connect(const HttpAddress& address, long long deadline) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(address.port);
    if (getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found) != 0) return -1;
    int result = -1;
    for (addrinfo* a = found; a != nullptr && result < 0; a = a->ai_next) {
        const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        bool connected = connect(fd, a->ai_addr, a->ai_addrlen) == 0;
        if (!connected && errno == EINPROGRESS && WaitFor(fd, POLLOUT, deadline)) {
            int error = 0;
            socklen_t length = sizeof error;
            connected = getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
        }
        if (connected) {
            result = fd;
        } else {
            close(fd);
        }
    }
    freeaddrinfo(found);
    return result;
}

// The whole response (status line, headers, body) up to the server's close.
std::optional<std::string> Exchange(const HttpAddress& address, int timeoutMilliseconds) {
    const long long deadline = NowMilliseconds() + timeoutMilliseconds;
    Socket socket(Connect(address, deadline));
    if (socket.fd() < 0) return std::nullopt;
    std::string host = address.host;
    if (address.port != 80) host += ":" + std::to_string(address.port);
    const std::string request = "GET " + address.path + " HTTP/1.0\r\nHost: " + host +
                                "\r\nAccept: */*\r\nPragma: no-cache\r\n\r\n";
    std::size_t sent = 0;
    while (sent < request.size()) {
        if (!WaitFor(socket.fd(), POLLOUT, deadline)) return std::nullopt;
        const ssize_t n =
            send(socket.fd(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) return std::nullopt;
        if (n > 0) sent += static_cast<std::size_t>(n);
    }
    std::string response;
    char buffer[4096];
    for (;;) {
        if (!WaitFor(socket.fd(), POLLIN, deadline)) return std::nullopt;
        const ssize_t n = recv(socket.fd(), buffer, sizeof buffer, 0);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            return std::nullopt;
        }
        response.append(buffer, static_cast<std::size_t>(n));
    }
    return response;
}

}  // namespace

bool PosixInternet::Probe(const Text& url, int timeoutMilliseconds) {
    const std::optional<HttpAddress> address = ParseHttpAddress(url);
    if (!address) return false;
    const std::optional<std::string> response = Exchange(*address, timeoutMilliseconds);
    return response && response->compare(0, 5, "HTTP/") == 0;
}

std::optional<std::string> PosixInternet::HttpGet(const Text& url, int timeoutMilliseconds) {
    const std::optional<HttpAddress> address = ParseHttpAddress(url);
    if (!address) return std::nullopt;
    const std::optional<std::string> response = Exchange(*address, timeoutMilliseconds);
    if (!response) return std::nullopt;
    const std::size_t end = response->find("\r\n\r\n");
    if (end == std::string::npos) return std::nullopt;
    return response->substr(end + 4);
}

}  // namespace platform
