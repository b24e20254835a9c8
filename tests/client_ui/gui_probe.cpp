// Helpers for the window checks under a real X server:
//   client_ui_probe white LOGFILE      a white frameless window over the screen; each mouse press
//                                      appends "click X Y" to LOGFILE; prints its window id
//   client_ui_probe compositor         exit status 0 when a compositing manager runs
//   client_ui_probe check-osd PNG      reads a screenshot and checks the display's top band: bright
//                                      green letters, a dark green rim and, between two letters,
//                                      a white pixel of the window beneath; exit status 0 when so
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

#include <cstdio>
#include <cstring>

#include "compositor.h"
#include "osd_window.h"

namespace {

class WhiteWindow : public QWidget {
public:
    explicit WhiteWindow(QString log)
        : QWidget(nullptr, Qt::FramelessWindowHint), log_(std::move(log)) {
        setWindowTitle("white probe");
        setAutoFillBackground(true);
        setPalette(QPalette(Qt::white, Qt::white));
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        QFile file(log_);
        if (file.open(QIODevice::Append)) {
            const QPoint at = event->globalPosition().toPoint();
            file.write(QString("click %1 %2\n").arg(at.x()).arg(at.y()).toUtf8());
        }
    }

private:
    QString log_;
};

int white(const char* log) {
    WhiteWindow window(QString::fromLocal8Bit(log));
    window.setGeometry(QGuiApplication::primaryScreen()->geometry().adjusted(0, 0, 0, -60));
    window.show();
    std::printf("%llu\n", static_cast<unsigned long long>(window.winId()));
    std::fflush(stdout);
    return QApplication::exec();
}

bool is(QRgb pixel, int r, int g, int b) {
    return qRed(pixel) == r && qGreen(pixel) == g && qBlue(pixel) == b;
}

int check_osd(const char* png) {
    const QImage shot(QString::fromLocal8Bit(png));
    if (shot.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", png);
        return 2;
    }
    int green = 0, rim = 0, best_row = -1, best_count = 0;
    for (int y = 0; y < dravo::kOsdHeight && y < shot.height(); ++y) {
        int in_row = 0;
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb pixel = shot.pixel(x, y);
            in_row += is(pixel, 0, 255, 0);
            rim += is(pixel, 0, 63, 0);
        }
        green += in_row;
        if (in_row > best_count) {
            best_count = in_row;
            best_row = y;
        }
    }
    int first = -1, last = -1, white_between = -1;
    for (int x = 0; best_row >= 0 && x < shot.width(); ++x) {
        if (is(shot.pixel(x, best_row), 0, 255, 0)) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    for (int x = first + 1; first >= 0 && x < last && white_between < 0; ++x) {
        if (is(shot.pixel(x, best_row), 255, 255, 255)) {
            white_between = x;
        }
    }
    std::printf("green %d, dark green %d, letters in row %d from x %d to %d, white at x %d\n",
                green, rim, best_row, first, last, white_between);
    return green > 200 && rim > 100 && white_between > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: client_ui_probe white LOGFILE | compositor | check-osd PNG\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    if (std::strcmp(argv[1], "compositor") == 0) {
        return dravo::compositor_running() ? 0 : 1;
    }
    if (argc < 3) {
        return 2;
    }
    if (std::strcmp(argv[1], "white") == 0) {
        return white(argv[2]);
    }
    if (std::strcmp(argv[1], "check-osd") == 0) {
        return check_osd(argv[2]);
    }
    return 2;
}
