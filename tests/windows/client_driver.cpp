// Drives dravo.exe under wine against a real server, as a user would through its window: finds
// the controls by their numbers, sends clicks, keys and the tray and media-key input, and checks
// the requests the server got (through a recording proxy), the window and the settings file.
// Usage: client_driver <server port> <work folder> ; prints "ok: ..." and "FAIL: ..." lines and
// ends with status 0 when every check passed. Screenshots: it writes <work>\shot-<name>.req and
// waits for <work>\shot-<name>.done, which the calling script makes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "client_driver_steps.h"
#include "recording_proxy.h"

namespace dravo::test {
namespace {

void write_settings(const std::string& file, int proxy_port, int server_port) {
    std::ofstream out(file, std::ios::binary);
    out << "[Settings]\r\n"
        << "Server1=http://127.0.0.1:" << proxy_port << "\r\n"  // no slash: the client adds it
        << "Server2=http://127.0.0.1:" << server_port << "/\r\n"
        << "UpdateOnStartup=false\r\nRefreshInterval=600\r\nOSDDuration=30\r\n"
        << "MRUFilter1=rock\r\nMRUFilter2=jazz\r\n";
}

}  // namespace
}  // namespace dravo::test

int main(int argc, char** argv) {
    if (argc < 3) {
        std::puts("usage: client_driver <server port> <work folder>");
        return 2;
    }
    using namespace dravo::test;
    const int server_port = std::atoi(argv[1]);
    const std::string work = argv[2];
    RecordingProxy proxy(server_port);
    if (proxy.port() == 0) {
        std::puts("FAIL: the proxy could not listen");
        return 1;
    }
    const std::string ini = work + "\\client.ini";
    write_settings(ini, proxy.port(), server_port);
    Driver driver(proxy, server_port, work, ini);
    if (!driver.start("dravo.exe /i " + ini)) {
        return 1;
    }
    driver.run_all();
    return driver.failures() == 0 ? 0 : 1;
}
