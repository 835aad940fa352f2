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

// A connected socket whose every wait ends at the deadline.
class SocketConnection : public HttpConnection {
  public:
    SocketConnection(int fd, long long deadline) : socket_(fd), deadline_(deadline) {}
    bool Send(std::string_view bytes) override {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            if (!WaitFor(socket_.fd(), POLLOUT, deadline_)) return false;
            const ssize_t n =
                send(socket_.fd(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
            if (n > 0) sent += static_cast<std::size_t>(n);
        }
        return true;
    }
    long Receive(char* buffer, std::size_t size) override {
        for (;;) {
            if (!WaitFor(socket_.fd(), POLLIN, deadline_)) return -1;
            const ssize_t n = recv(socket_.fd(), buffer, size, 0);
            if (n >= 0) return static_cast<long>(n);
            if (errno != EAGAIN && errno != EINTR) return -1;
        }
    }

  private:
    Socket socket_;
    long long deadline_;
};

std::optional<HttpResponse> Fetch(const Text& url, int timeoutMilliseconds, std::string_view agent,
                                  std::size_t maxBody) {
    const std::optional<HttpAddress> address = ParseHttpAddress(url);
    if (!address) return std::nullopt;
    const long long deadline = NowMilliseconds() + timeoutMilliseconds;
    const int fd = Connect(*address, deadline);
    if (fd < 0) return std::nullopt;
    SocketConnection connection(fd, deadline);
    return HttpExchange(connection, *address, agent, maxBody);
}

}  // namespace

bool PosixInternet::Probe(const Text& url, int timeoutMilliseconds) {
    // The status line is answer enough; no body is read.
    const std::optional<HttpResponse> response = Fetch(url, timeoutMilliseconds, "test", 0);
    return response && response->head.starts_with("HTTP/");
}

std::optional<std::string> PosixInternet::HttpGet(const Text& url, int timeoutMilliseconds,
                                                  std::size_t maxBytes) {
    std::optional<HttpResponse> response = Fetch(url, timeoutMilliseconds, "", maxBytes);
    if (!response) return std::nullopt;
    return std::move(response->body);
}

}  // namespace platform
