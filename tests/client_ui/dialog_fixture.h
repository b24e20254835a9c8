#pragma once
// The main window on the offscreen platform against a local HTTP server that records what it is
// asked, with requests on the test's thread and its settings in a temporary file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "client_settings.h"
#include "local_http_server.h"
#include "remote_app.h"
#include "request_runner.h"
#include "sleep_dialog.h"
#include "temp_dir.h"

namespace dravo::test {

// The targets the stand-in server was asked for, in order.
using Targets = std::vector<std::string>;

class DialogFixture : public ::testing::Test {
protected:
    DialogFixture() : settings(dir.file("dravo.ini")) {
        server.set_reply("/list", {200, "A\nB\nC\n"});
        server.set_reply("/title", {200, "Artist - Song"});
        server.set_reply("/status", {200, "playing: 1\nshuffle: 0\nvolume: 50\n"});
        server.set_reply("/get_filter", {200, "rock"});
        settings.servers = {server.base_url()};
        settings.update_on_startup = false;
        settings.refresh_interval = 3600;  // no status tick in the middle of a test
    }

    RemoteDialog& dialog() { return app().dialog(); }
    RemoteApp& app() {
        if (!app_) {
            SessionOptions options;
            options.limits = {std::chrono::milliseconds(2000), std::chrono::milliseconds(5000)};
            options.update_url = server.base_url() + "dravo/";
            options.launcher = [](const std::string&, const std::string&, const std::string&) {
                return false;
            };
            app_ = std::make_unique<RemoteApp>(settings, runner, options);
            app_->set_on_end([this] { ++ended; });
            app_->start_up();
        }
        return *app_;
    }
    template <class Widget>
    Widget* find(const char* name) {
        auto* found = dialog().findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* button) { find<QPushButton>(button)->click(); }

    // Runs the sleep dialog, filling it in and ending it with OK or Cancel once it is up.
    void answer_sleep_dialog(const char* hours, const char* minutes, const char* button) {
        QTimer::singleShot(0, [&] {
            auto* box = dialog().findChild<CsleepDlg*>();
            ASSERT_NE(box, nullptr);
            box->findChild<QLineEdit*>("hours")->setText(hours);
            box->findChild<QLineEdit*>("minutes")->setText(minutes);
            box->findChild<QPushButton*>(button)->click();
        });
        dialog().open_sleep_dialog();
    }
    // The requests the server got while act ran.
    std::vector<std::string> sent_by(const std::function<void()>& act) const {
        const auto before = server.targets().size();
        act();
        const auto all = server.targets();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(before, all.size())), all.end()};
    }

    TempDir dir;
    LocalHttpServer server;
    ClientSettings settings;
    BlockingRunner runner;
    int ended = 0;

private:
    std::unique_ptr<RemoteApp> app_;
};

}  // namespace dravo::test
