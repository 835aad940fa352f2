#pragma once
// A tiny real HTTP server on 127.0.0.1 for the version check: serves the
// bodies it is given, answers 404 elsewhere, and on chosen paths accepts the
// request and never answers, or streams without end, to prove the client's
// time-out and its cap.
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/internet.h"

namespace testing_support {

// The build's real network client (WinINet on Windows, sockets natively).
std::unique_ptr<platform::Internet> MakeInternet();

class HttpServer {
  public:
    HttpServer();  // listening on a free port at once
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int port() const { return port_; }
    void Serve(const std::string& path, const std::string& body);
    void StaySilentOn(const std::string& path);
    // Answers with a head and then `chunk` again and again, `pauseMilliseconds`
    // apart, until the client goes away: a page without end.
    void StreamOn(const std::string& path, const std::string& chunk, int pauseMilliseconds);
    // The request heads received so far (request line and headers).
    std::vector<std::string> Requests();

  private:
    void Run();
    void Handle(std::intptr_t client);
    bool SendAll(std::intptr_t client, const std::string& bytes);
    void Stream(std::intptr_t client, const std::pair<std::string, int>& stream);

    std::intptr_t listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::map<std::string, std::string> bodies_;
    std::set<std::string> silent_;
    std::map<std::string, std::pair<std::string, int>> streams_;
    std::vector<std::string> requests_;
    std::vector<std::intptr_t> held_;  // silent connections, closed at the end
    std::thread thread_;
};

}  // namespace testing_support
