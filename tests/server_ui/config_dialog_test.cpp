// The configuration dialog with real widgets on the offscreen platform: typed text, clicks and
// keys, with the port notice captured instead of shown.
#include "config_dialog_qt.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "config_fixture.h"
#include "config_ui.h"
#include "plugin.h"

namespace dravo::test {
namespace {

class ConfigDialogTest : public ::testing::Test, public ConfigFixture {
protected:
    ConfigDialogTest() : dialog_(settings_, &cache_, capture()) { dialog_.show(); }

    template <typename Widget>
    Widget* child(const char* name) {
        auto* found = dialog_.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }

    void type(const char* name, const QString& text) {
        QLineEdit* target = edit(name);
        target->setFocus();
        target->selectAll();
        QTest::keyClick(target, Qt::Key_Backspace);
        QTest::keyClicks(target, text);
    }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    // Lets the dialog's event loop run until the refresh has finished.
    void wait_for_rebuild() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while ((dialog_.rebuilding() || !button("ok")->isEnabled()) &&
               std::chrono::steady_clock::now() < deadline) {
            QTest::qWait(5);
        }
        ASSERT_FALSE(dialog_.rebuilding());
    }

    config_dlg_t dialog_;
};

TEST_F(ConfigDialogTest, ShowsTheSettingsUnderItsCaptionAndLabels) {
    EXPECT_EQ(dialog_.windowTitle(), "dravo_srv config");
    EXPECT_EQ(edit("port")->text(), "81");
    EXPECT_EQ(edit("media_root")->text().toStdString(), settings_.media_root());
    EXPECT_EQ(edit("file_extensions")->text(), "mp3 ogg wav url");
    EXPECT_EQ(child<QLabel>("port_label")->text(), "Server port (e.g. 81)");
    EXPECT_EQ(child<QLabel>("media_root_label")->text(), "Media root (e.g. \"C:\\mp3\\\")");
    EXPECT_EQ(child<QLabel>("file_extensions_label")->text(),
              "File extensions (e.g. \"mp3 ogg wav url\")");
    EXPECT_EQ(button("refresh")->text(), "Refresh media cache");
    EXPECT_EQ(button("ok")->text(), "OK");
    EXPECT_EQ(button("cancel")->text(), "Cancel");
    EXPECT_TRUE(button("ok")->isDefault());
    EXPECT_FALSE(button("cancel")->isDefault());
    EXPECT_TRUE(dialog_.isModal());
    EXPECT_FALSE(dialog_.windowFlags() & Qt::WindowSystemMenuHint);
}

TEST_F(ConfigDialogTest, TabOrderRunsThroughEditsThenButtons) {
    QStringList order;
    QWidget* at = edit("port");
    do {
        if (at->focusPolicy() & Qt::TabFocus) {
            order << at->objectName();
        }
        at = at->nextInFocusChain();
    } while (at != edit("port") && order.size() < 20);
    EXPECT_EQ(order,
              (QStringList{"port", "media_root", "file_extensions", "refresh", "ok", "cancel"}));
}

TEST_F(ConfigDialogTest, ControlsStandWhereTheLayoutPutsThemAndLabelsFit) {
    const QRect port = edit("port")->geometry();
    const QRect root = edit("media_root")->geometry();
    const QRect extensions = edit("file_extensions")->geometry();
    const QRect refresh = button("refresh")->geometry();
    const QRect ok = button("ok")->geometry();
    const QRect cancel = button("cancel")->geometry();
    // One left edge for the edits, rows from top to bottom, buttons on the right.
    EXPECT_EQ(port.left(), root.left());
    EXPECT_EQ(root.left(), extensions.left());
    EXPECT_LT(port.bottom(), root.top());
    EXPECT_LT(root.bottom(), extensions.top());
    EXPECT_EQ(refresh.top(), extensions.top());
    EXPECT_GT(refresh.left(), extensions.right());
    EXPECT_EQ(refresh.right(), root.right());
    EXPECT_GT(ok.left(), root.right());
    EXPECT_EQ(ok.left(), cancel.left());
    EXPECT_LT(ok.bottom(), cancel.top());
    EXPECT_LT(cancel.bottom(), root.top());
    EXPECT_TRUE(dialog_.rect().contains(ok));
    EXPECT_TRUE(dialog_.rect().contains(refresh));
    EXPECT_EQ(dialog_.minimumSize(), dialog_.maximumSize());  // fixed, like a modal frame
    // Each label stands just above its edit and shows its whole text.
    const std::pair<const char*, QRect> labelled[] = {
        {"port_label", port}, {"media_root_label", root}, {"file_extensions_label", extensions}};
    for (const auto& [name, below] : labelled) {
        const QLabel* label = child<QLabel>(name);
        EXPECT_EQ(label->geometry().left(), below.left()) << name;
        EXPECT_LE(label->geometry().bottom(), below.top()) << name;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
    }
    for (const char* name : {"refresh", "ok", "cancel"}) {
        const QPushButton* push = button(name);
        EXPECT_LE(push->fontMetrics().horizontalAdvance(push->text()), push->width()) << name;
    }
}

TEST_F(ConfigDialogTest, OkWithTheSamePortStoresWithoutAMessage) {
    type("media_root", "d:/songs");
    click("ok");
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(dialog_.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(settings_.media_root(), "d:/songs/");
    EXPECT_NE(ini().find("media_root=d:/songs/\r\n"), std::string::npos);
    EXPECT_NE(ini().find("port=81\r\n"), std::string::npos);
}

TEST_F(ConfigDialogTest, EmptyMediaRootStaysEmpty) {
    type("media_root", "");
    QTest::keyClick(edit("media_root"), Qt::Key_Return);  // Enter presses OK, the default
    EXPECT_EQ(dialog_.result(), QDialog::Accepted);
    EXPECT_EQ(settings_.media_root(), "");
    EXPECT_NE(ini().find("media_root=\r\n"), std::string::npos);
}

TEST_F(ConfigDialogTest, NewPortByRefreshShowsTheMessageOnceAndOkNoSecondTime) {
    make_files(folder("music"), {"a.mp3", "b.ogg"});
    type("port", "8080");
    type("media_root", QString::fromStdString(folder("music")));
    click("refresh");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], kPortBox);
    wait_for_rebuild();
    EXPECT_TRUE(dialog_.isVisible());  // a refresh keeps the dialog open
    EXPECT_EQ(child<QLabel>("progress")->text(), "Media cache: 2 files");
    click("ok");
    EXPECT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(settings_.port(), 8080);
}

TEST_F(ConfigDialogTest, CancelAfterRefreshKeepsWhatTheRefreshSaved) {
    make_files(folder("music"), {"x.ogg", "y.mp3"});
    type("media_root", QString::fromStdString(folder("music")));
    type("file_extensions", "ogg");
    click("refresh");
    wait_for_rebuild();
    const std::string saved = ini();
    EXPECT_EQ(cache_file(), "x.ogg\r\n");

    type("port", "9000");
    type("file_extensions", "wav");
    click("cancel");
    EXPECT_EQ(dialog_.result(), QDialog::Rejected);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(ini(), saved);
    EXPECT_NE(saved.find("file_extensions=ogg\r\n"), std::string::npos);
    EXPECT_EQ(settings_.port(), 81);
    EXPECT_EQ(settings_.file_extensions(), "ogg");
    EXPECT_EQ(cache_file(), "x.ogg\r\n");
}

TEST_F(ConfigDialogTest, OkAloneDoesNotRescan) {
    make_files(folder("music"), {"a.mp3", "b.ogg"});
    write_file(cache_.cache_file_path(), "old.mp3\r\n");
    type("media_root", QString::fromStdString(folder("music")));
    type("file_extensions", "ogg");
    click("ok");
    EXPECT_EQ(settings_.file_extensions(), "ogg");
    EXPECT_EQ(cache_file(), "old.mp3\r\n");
    auto held = cache_.lock();
    cache_.ensure_loaded(held, source());
    ASSERT_EQ(cache_.size(held), 1u);
    EXPECT_EQ(cache_.entry(held, 0), "old.mp3");
}

TEST_F(ConfigDialogTest, EscapeCancelsAndStoresNothing) {
    type("port", "1234");
    type("file_extensions", "flac");
    QTest::keyClick(edit("file_extensions"), Qt::Key_Escape);
    EXPECT_EQ(dialog_.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_TRUE(boxes_.empty());
    EXPECT_FALSE(std::filesystem::exists(settings_.file_name()));
    EXPECT_EQ(settings_.port(), 81);
}

TEST_F(ConfigDialogTest, WhileRebuildingTheButtonsWaitAndEscapeIsIgnored) {
    make_files(folder("music"), {"a.mp3"});
    type("media_root", QString::fromStdString(folder("music")));
    auto held = cache_.lock();  // a filter pass holds the cache: the refresh must wait
    click("refresh");
    QTest::qWait(60);
    EXPECT_TRUE(dialog_.rebuilding());
    for (const char* name : {"refresh", "ok", "cancel"}) {
        EXPECT_FALSE(button(name)->isEnabled());
    }
    EXPECT_TRUE(edit("port")->isReadOnly());
    EXPECT_EQ(dialog_.cursor().shape(), Qt::WaitCursor);
    EXPECT_TRUE(child<QLabel>("progress")->text().startsWith("Scanning"));
    QTest::keyClick(&dialog_, Qt::Key_Escape);
    EXPECT_TRUE(dialog_.isVisible());
    held.unlock();
    wait_for_rebuild();
    for (const char* name : {"refresh", "ok", "cancel"}) {
        EXPECT_TRUE(button(name)->isEnabled());
    }
    EXPECT_FALSE(edit("port")->isReadOnly());
    EXPECT_NE(dialog_.cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(cache_file(), "a.mp3\r\n");
    QTest::keyClick(&dialog_, Qt::Key_Escape);
    EXPECT_FALSE(dialog_.isVisible());
}

// The plug-in's config entry inside a GUI host: a modal dialog on the application's thread.
class PluginDialogTest : public ::testing::Test, public ConfigFixture {};

TEST_F(PluginDialogTest, ConfigEntryRunsTheDialogModallyAndCancelLeavesTheFile) {
    Plugin plugin;
    install_config_ui(plugin);
    QuietHost* seen = start_plugin(plugin);

    QString caption;
    QString port;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            return;
        }
        caption = modal->windowTitle();
        if (auto* edit = modal->findChild<QLineEdit*>("port")) {
            port = edit->text();
        }
        if (auto* cancel = modal->findChild<QPushButton*>("cancel")) {
            cancel->click();
        }
    });
    // Should the dialog not close, end it rather than hang the test.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    guard.start(5000);
    plugin.config();
    EXPECT_EQ(caption, "dravo_srv config");
    EXPECT_EQ(port, "81");
    EXPECT_TRUE(seen->boxes().empty());
    EXPECT_FALSE(std::filesystem::exists(settings_.file_name()));

    // Off the application's thread there is no dialog, only the notice.
    std::thread([&] { plugin.config(); }).join();
    ASSERT_EQ(seen->boxes().size(), 1u);
    EXPECT_EQ(seen->boxes()[0], Box(kConfigNeedsWindowText, "dravo_srv"));
    plugin.quit();
}

}  // namespace
}  // namespace dravo::test
