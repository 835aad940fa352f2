#include "support/http_server.h"

#include <stdexcept>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/win32/win32_internet.h"
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/posix/posix_internet.h"
#endif

namespace testing_support {
namespace {

#ifdef _WIN32
constexpr int kSendFlags = 0;
using SocketHandle = SOCKET;
void CloseSocket(std::intptr_t s) {
    closesocket(static_cast<SOCKET>(s));
}
struct WinsockStartup {
    WinsockStartup() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};
#else
constexpr int kSendFlags = MSG_NOSIGNAL;  // a client that went away must not kill the run
using SocketHandle = int;
void CloseSocket(std::intptr_t s) {
    close(static_cast<int>(s));
}
#endif

// Waits up to `ms` for the socket to be readable.
bool Readable(std::intptr_t s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(static_cast<SocketHandle>(s), &set);
    timeval tv{0, ms * 1000};
    return select(static_cast<int>(s) + 1, &set, nullptr, nullptr, &tv) > 0;
}

void Pause(int ms) {
#ifdef _WIN32
    Sleep(static_cast<DWORD>(ms));
#else
    usleep(static_cast<useconds_t>(ms) * 1000);
#endif
}

}  // namespace

std::unique_ptr<platform::Internet> MakeInternet() {
#ifdef _WIN32
    return std::make_unique<platform::Win32Internet>();
#else
    return std::make_unique<platform::PosixInternet>();
#endif
}

HttpServer::HttpServer() {
#ifdef _WIN32
    static WinsockStartup winsock;
#endif
    const SocketHandle s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 16) != 0) {
        CloseSocket(static_cast<std::intptr_t>(s));
        throw std::runtime_error("test HTTP server: cannot listen on 127.0.0.1");
    }
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listener_ = static_cast<std::intptr_t>(s);
    thread_ = std::thread([this] { Run(); });
}

HttpServer::~HttpServer() {
    stop_ = true;
    thread_.join();
    CloseSocket(listener_);
    for (std::intptr_t s : held_) CloseSocket(s);
}

void HttpServer::Serve(const std::string& path, const std::string& body) {
    std::lock_guard<std::mutex> lock(mutex_);
    bodies_[path] = body;
}

void HttpServer::StaySilentOn(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    silent_.insert(path);
}

void HttpServer::StreamOn(const std::string& path, const std::string& chunk,
                          int pauseMilliseconds) {
    std::lock_guard<std::mutex> lock(mutex_);
    streams_[path] = {chunk, pauseMilliseconds};
}

std::vector<std::string> HttpServer::Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void HttpServer::Run() {
    while (!stop_) {
        if (!Readable(listener_, 20)) continue;
        const SocketHandle client = accept(static_cast<SocketHandle>(listener_), nullptr, nullptr);
        if (client == static_cast<SocketHandle>(-1)) continue;
        Handle(static_cast<std::intptr_t>(client));
    }
}

void HttpServer::Handle(std::intptr_t client) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && !stop_) {
        if (!Readable(client, 2000)) break;
        const int n =
            static_cast<int>(recv(static_cast<SocketHandle>(client), buffer, sizeof buffer, 0));
        if (n <= 0) break;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    // "GET /path HTTP/1.0"
    const std::size_t first = head.find(' ');
    const std::size_t second = head.find(' ', first + 1);
    const std::string path =
        first == std::string::npos ? "" : head.substr(first + 1, second - first - 1);
    std::string response;
    std::optional<std::pair<std::string, int>> stream;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(head.substr(0, head.find("\r\n\r\n")));
        if (silent_.count(path) != 0) {
            held_.push_back(client);
            return;
        }
        if (const auto found = streams_.find(path); found != streams_.end()) stream = found->second;
    }
    if (stream) {
        Stream(client, *stream);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = bodies_.find(path);
        const std::string body = found != bodies_.end() ? found->second : "not found";
        const char* status = found != bodies_.end() ? "200 OK" : "404 Not Found";
        response = std::string("HTTP/1.0 ") + status +
                   "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
                   "\r\nConnection: close\r\n\r\n" + body;
    }
    SendAll(client, response);
    shutdown(static_cast<SocketHandle>(client), 1);  // SD_SEND / SHUT_WR: the end of the body
    CloseSocket(client);
}

}  // namespace testing_support

namespace testing_support {

bool HttpServer::SendAll(std::intptr_t client, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = static_cast<int>(send(static_cast<SocketHandle>(client), bytes.data() + sent,
                                            static_cast<int>(bytes.size() - sent), kSendFlags));
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void HttpServer::Stream(std::intptr_t client, const std::pair<std::string, int>& stream) {
    bool open = SendAll(client, "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n");
    while (open && !stop_) {
        open = SendAll(client, stream.first);
        if (stream.second > 0) Pause(stream.second);
    }
    CloseSocket(client);
}

}  // namespace testing_support
