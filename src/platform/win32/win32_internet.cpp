#include "platform/win32/win32_internet.h"

#include <windows.h>
//
#include <wininet.h>

#include "platform/win32/win_text.h"

namespace platform {
namespace {

class Handle {
  public:
    explicit Handle(HINTERNET handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != nullptr) InternetCloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

  private:
    HINTERNET handle_;
};

// A session whose every wait ends after the time-out.
HINTERNET OpenSession(const wchar_t* agent, int timeoutMilliseconds) {
    HINTERNET session = InternetOpenW(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (session == nullptr) return nullptr;
    DWORD ms = static_cast<DWORD>(timeoutMilliseconds);
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
        InternetSetOptionW(session, option, &ms, sizeof ms);
    }
    return session;
}

constexpr DWORD kNoCache =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

}  // namespace

bool Win32Internet::Probe(const Text& url, int timeoutMilliseconds) {
    DWORD flags = 0;
    if (!InternetGetConnectedState(&flags, 0)) return false;
    Handle session(OpenSession(L"test", timeoutMilliseconds));
    if (!session) return false;
    const std::wstring wide = win32::Wide(url);
    Handle page(InternetOpenUrlW(session.get(), wide.c_str(), nullptr, 0, kNoCache, 0));
    return static_cast<bool>(page);
}

std::optional<std::string> Win32Internet::HttpGet(const Text& url, int timeoutMilliseconds) {
    const std::optional<HttpAddress> address = ParseHttpAddress(url);
    if (!address) return std::nullopt;
    Handle session(OpenSession(L"moxia", timeoutMilliseconds));
    if (!session) return std::nullopt;
    const std::wstring host = win32::Wide(address->host);
    Handle connection(InternetConnectW(session.get(), host.c_str(),
                                       static_cast<INTERNET_PORT>(address->port), nullptr, nullptr,
                                       INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return std::nullopt;
    const std::wstring path = win32::Wide(address->path);
    const wchar_t* accept[] = {L"*/*", nullptr};
    Handle request(HttpOpenRequestW(connection.get(), L"GET", path.c_str(), L"HTTP/1.0", nullptr,
                                    accept, kNoCache, 0));
    if (!request) return std::nullopt;
    if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return std::nullopt;
    std::string body;
    char buffer[4096];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request.get(), buffer, sizeof buffer, &read)) return std::nullopt;
        if (read == 0) break;
        body.append(buffer, read);
    }
    return body;
}

}  // namespace platform
