#include "platform/win32/win32_internet.h"

#include <windows.h>
//
#include <wininet.h>

#include <functional>
#include <memory>
#include <mutex>

#include "platform/win32/win_text.h"

namespace platform {
namespace {

constexpr DWORD kNoCache =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

// One request run on a worker thread. WinINet's own time-outs do not cover
// every wait (a server that accepts and never answers can hold a request
// forever), so the caller waits at most the time-out and then closes the
// session, which aborts whatever the worker is blocked in.
struct Call {
    std::mutex mutex;
    HINTERNET session = nullptr;
    bool abandoned = false;  // the caller gave up and closed the session
    std::optional<std::string> result;
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::function<std::optional<std::string>(HINTERNET)> work;
    ~Call() { CloseHandle(finished); }
};

DWORD WINAPI RunCall(void* parameter) {
    std::unique_ptr<std::shared_ptr<Call>> owner(static_cast<std::shared_ptr<Call>*>(parameter));
    Call& call = **owner;
    HINTERNET session = nullptr;
    {
        std::lock_guard<std::mutex> lock(call.mutex);
        session = call.session;
    }
    std::optional<std::string> result = call.work(session);
    std::lock_guard<std::mutex> lock(call.mutex);
    if (!call.abandoned) {
        call.result = std::move(result);
        InternetCloseHandle(call.session);
        call.session = nullptr;
    }
    SetEvent(call.finished);
    return 0;
}

// Runs `work` with a session whose own time-outs are set too; nullopt when
// the session cannot be opened or the time-out runs out first.
std::optional<std::string> RunWithTimeout(
    const wchar_t* agent, int timeoutMilliseconds,
    std::function<std::optional<std::string>(HINTERNET)> work) {
    auto call = std::make_shared<Call>();
    call->work = std::move(work);
    call->session = InternetOpenW(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (call->session == nullptr || call->finished == nullptr) {
        if (call->session != nullptr) InternetCloseHandle(call->session);
        return std::nullopt;
    }
    DWORD ms = static_cast<DWORD>(timeoutMilliseconds);
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
        InternetSetOptionW(call->session, option, &ms, sizeof ms);
    }
    auto* parameter = new std::shared_ptr<Call>(call);
    HANDLE thread = CreateThread(nullptr, 0, RunCall, parameter, 0, nullptr);
    if (thread == nullptr) {
        delete parameter;
        InternetCloseHandle(call->session);
        return std::nullopt;
    }
    CloseHandle(thread);
    WaitForSingleObject(call->finished, ms);
    std::lock_guard<std::mutex> lock(call->mutex);
    if (call->session != nullptr) {
        // Still running: abort it; the worker ends on its own and is not waited for.
        call->abandoned = true;
        InternetCloseHandle(call->session);
        call->session = nullptr;
        return std::nullopt;
    }
    return call->result;
}

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

}  // namespace

bool Win32Internet::Probe(const Text& url, int timeoutMilliseconds) {
    DWORD flags = 0;
    if (!InternetGetConnectedState(&flags, 0)) return false;
    const std::wstring wide = win32::Wide(url);
    const std::optional<std::string> answered = RunWithTimeout(
        L"test", timeoutMilliseconds, [wide](HINTERNET session) -> std::optional<std::string> {
            HINTERNET page = InternetOpenUrlW(session, wide.c_str(), nullptr, 0, kNoCache, 0);
            if (page == nullptr) return std::nullopt;
            InternetCloseHandle(page);
            return std::string();
        });
    return answered.has_value();
}

std::optional<std::string> Win32Internet::HttpGet(const Text& url, int timeoutMilliseconds) {
    const std::optional<HttpAddress> address = ParseHttpAddress(url);
    if (!address) return std::nullopt;
    const std::wstring host = win32::Wide(address->host);
    const std::wstring path = win32::Wide(address->path);
    const auto port = static_cast<INTERNET_PORT>(address->port);
    return RunWithTimeout(
        L"moxia", timeoutMilliseconds,
        [host, path, port](HINTERNET session) -> std::optional<std::string> {
            HINTERNET connection = InternetConnectW(session, host.c_str(), port, nullptr, nullptr,
                                                    INTERNET_SERVICE_HTTP, 0, 0);
            if (connection == nullptr) return std::nullopt;
            Handle closeConnection(connection);
            const wchar_t* accept[] = {L"*/*", nullptr};
            Handle request(HttpOpenRequestW(connection, L"GET", path.c_str(), L"HTTP/1.0", nullptr,
                                            accept, kNoCache, 0));
            if (!request) return std::nullopt;
            if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return std::nullopt;
            std::string body;
            char buffer[4096];
            for (;;) {
                DWORD read = 0;
                if (!InternetReadFile(request.get(), buffer, sizeof buffer, &read)) {
                    return std::nullopt;
                }
                if (read == 0) break;
                body.append(buffer, read);
            }
            return body;
        });
}

}  // namespace platform
