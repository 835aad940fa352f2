// Requests to servers that never answer, or answer without end, must leave
// nothing running once they return: a worker left behind per request was how
// the version check used to give up on them.
#include <windows.h>
//
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "support/http_server.h"

namespace {

int ThreadsOfThisProcess() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

TEST(Win32Internet, RequestsThatTimeOutLeaveNoThreadBehind) {
    testing_support::HttpServer server;
    server.StaySilentOn("/silent");
    server.StreamOn("/drip", "x", 50);
    const Text base = "http://127.0.0.1:" + DecimalText(server.port());
    std::unique_ptr<platform::Internet> internet = testing_support::MakeInternet();
    EXPECT_FALSE(internet->HttpGet(base + "/drip", 300, 64 * 1024));  // warm up
    const int before = ThreadsOfThisProcess();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(internet->Probe(base + "/silent", 300));
        EXPECT_FALSE(internet->HttpGet(base + "/silent", 300, 64 * 1024));
        EXPECT_FALSE(internet->HttpGet(base + "/drip", 300, 64 * 1024));
    }
    EXPECT_EQ(ThreadsOfThisProcess(), before);
}

}  // namespace
