#include "server_fixture.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

#include "loopback_client.h"

namespace dravo::test {
namespace {

std::filesystem::path fresh_dir() {
    static std::atomic<int> counter{0};
    auto dir = std::filesystem::temp_directory_path() /
               ("dravo_srv_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace

ServerFixture::ServerFixture(ServerLimits limits, ClientPolicy policy)
    : dir_(fresh_dir()), log_((dir_ / kServerLogName).string()) {
    port_ = free_port();
    server_ = std::make_unique<CommandServer>(port_, table_, host, log_, limits, std::move(policy));
    thread_ = std::thread([this] { server_->run(); });
    while (server_->state() == CommandServer::State::starting)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

ServerFixture::~ServerFixture() {
    server_->stop();
    thread_.join();
    std::filesystem::remove_all(dir_);
}

std::string ServerFixture::log_text() const {
    std::ifstream in(dir_ / kServerLogName, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace dravo::test
