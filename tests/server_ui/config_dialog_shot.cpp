// Saves pictures of the configuration dialog for a look by eye:
//   config_dialog_shot idle.png [busy.png]
// The second shows it during a refresh that waits for the cache's lock.
#include <QApplication>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include <cstdio>

#include "config_dialog_qt.h"
#include "media_cache.h"
#include "server_settings.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: config_dialog_shot idle.png [busy.png]\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    dravo::ServerSettings settings;
    settings.set_file_name("/dev/null");
    dravo::MediaCache cache("/nonexistent/");
    dravo::config_dlg_t dialog(settings, &cache, [](const std::string&, const std::string&) {});
    dialog.show();
    QTest::qWait(200);
    bool saved = dialog.grab().save(QString::fromLocal8Bit(argv[1]));
    if (argc > 2) {
        auto held = cache.lock();
        dialog.findChild<QPushButton*>("refresh")->click();
        QTest::qWait(200);
        saved = dialog.grab().save(QString::fromLocal8Bit(argv[2])) && saved;
        held.unlock();
        while (dialog.rebuilding()) {
            QTest::qWait(10);
        }
    }
    std::printf("%dx%d\n", dialog.width(), dialog.height());
    return saved ? 0 : 1;
}
