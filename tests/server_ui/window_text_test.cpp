#include "window_text.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace dravo::test {
namespace {

TEST(WindowText, TextOfEditsLabelsAndButtonsTitleOfOtherWidgets) {
    QLineEdit edit(QStringLiteral("typed"));
    QLabel label(QStringLiteral("Media root (e.g. \"C:\\mp3\\\")"));
    QPushButton button(QStringLiteral("OK"));
    QCheckBox check(QStringLiteral("Shuffle"));
    QWidget window;
    window.setWindowTitle(QStringLiteral("dravo_srv config"));
    EXPECT_EQ(window_text(edit), "typed");
    EXPECT_EQ(window_text(label), "Media root (e.g. \"C:\\mp3\\\")");
    EXPECT_EQ(window_text(button), "OK");
    EXPECT_EQ(window_text(check), "Shuffle");
    EXPECT_EQ(window_text(window), "dravo_srv config");
    edit.setText(QString());
    EXPECT_EQ(window_text(edit), "");
    // A widget's own title does not replace what it shows.
    edit.setWindowTitle(QStringLiteral("title"));
    EXPECT_EQ(window_text(edit), "");
}

TEST(WindowText, AbsentWidgetGivesEmptyTextAndTextIsUtf8) {
    EXPECT_EQ(window_text(static_cast<const QWidget*>(nullptr)), "");
    QLineEdit edit(QString::fromUtf8("\xC3\x85n \xE2\x82\xAC"));
    const QWidget* optional = &edit;
    EXPECT_EQ(window_text(optional), "\xC3\x85n \xE2\x82\xAC");
}

}  // namespace
}  // namespace dravo::test
