#pragma once
// A service browser that finds what the test puts in servers. One thread, like the window.
#include "service_browser.h"

namespace dravo::test {

class FakeServiceBrowser : public ServiceBrowser {
public:
    bool start(Changed) override { return true; }
    void stop() override {}
    std::vector<FoundServer> found() const override { return servers; }

    std::vector<FoundServer> servers;
};

}  // namespace dravo::test
