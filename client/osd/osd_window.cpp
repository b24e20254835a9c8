#include "osd_window.h"

#include <QBitmap>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWidget>

#include "compositor.h"
#include "timer_period.h"

namespace dravo {
namespace {

const QColor kLetters(kOsdLetters.red, kOsdLetters.green, kOsdLetters.blue);
const QColor kRim(kOsdRim.red, kOsdRim.green, kOsdRim.blue);

// Shows the picture the OsdWindow drew; nothing of its own. Kept away from the window manager:
// a managed window gets a frame of the manager's, and that frame would take the clicks.
class OsdSurface : public QWidget {
public:
    explicit OsdSurface(const QImage& picture)
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                               Qt::BypassWindowManagerHint | Qt::WindowTransparentForInput |
                               Qt::WindowDoesNotAcceptFocus),
          picture_(picture) {
        setObjectName("osd");
        setWindowTitle("osd");
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, picture_);
    }

private:
    const QImage& picture_;
};

QList<QString> lines_of(const std::string& text) {
    QList<QString> lines = QString::fromStdString(text).split('\n');
    for (auto& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    return lines;
}

// One bit per pixel that holds any paint: the window's shape where nothing composites.
QBitmap shape_of(const QImage& picture) {
    QImage bits(picture.size(), QImage::Format_MonoLSB);
    bits.setColor(0, QColor(Qt::color0).rgb());
    bits.setColor(1, QColor(Qt::color1).rgb());
    bits.fill(0);
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(row[x]) != 0) {
                bits.setPixel(x, y, 1);
            }
        }
    }
    return QBitmap::fromImage(bits);
}

}  // namespace

OsdWindow::OsdWindow() {
    hide_timer_.setSingleShot(true);
    // A coarse timer may end a text up to 5 % early, and a replaced text with its predecessor.
    hide_timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&hide_timer_, &QTimer::timeout, [this] { expire(); });
}

OsdWindow::~OsdWindow() = default;

QWidget* OsdWindow::window() const { return window_.get(); }

bool OsdWindow::init(bool enabled, int duration_seconds, int outline_width) {
    enabled_ = enabled;
    duration_ms_ = timer_period_ms(duration_seconds);
    outline_width_ = outline_width < 0 ? 0 : outline_width;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return false;
    }
    const QRect work = screen->availableGeometry();
    picture_ = QImage(work.width(), kOsdHeight, QImage::Format_ARGB32_Premultiplied);
    picture_.fill(Qt::transparent);
    window_ = std::make_unique<OsdSurface>(picture_);
    window_->setGeometry(work.x(), work.y(), work.width(), kOsdHeight);
    text_.clear();
    return true;
}

bool OsdWindow::show(const std::string& text) {
    if (!enabled_ || !window_) {
        return true;
    }
    text_ = text;
    hide_timer_.start(duration_ms_);
    draw();
    if (compositor_running()) {
        window_->clearMask();
    } else {
        window_->setMask(shape_of(picture_));
    }
    window_->show();
    window_->raise();
    window_->repaint();
    return true;
}

void OsdWindow::expire() {
    text_.clear();
    picture_.fill(Qt::transparent);
    if (window_) {
        window_->hide();
    }
}

const QFont& OsdWindow::font() {
    if (!font_) {
        // Verdana where installed; otherwise the system's bold sans. Sized so that a character
        // cell (ascent and descent) is kOsdFontCell pixels high.
        QFont font(kOsdFontFace);
        font.setStyleHint(QFont::SansSerif);
        font.setWeight(QFont::Bold);
        font.setPixelSize(kOsdFontCell);
        const int cell = QFontMetrics(font).height();
        if (cell > 0) {
            font.setPixelSize(std::max(1, (kOsdFontCell * kOsdFontCell + cell / 2) / cell));
        }
        font_ = std::make_unique<QFont>(font);
    }
    return *font_;
}

void OsdWindow::draw() {
    picture_.fill(Qt::transparent);
    const QFont& letters = font();
    const QFontMetrics metrics(letters);
    QPainterPath path;
    qreal baseline = kOsdMargin + metrics.ascent();
    for (const QString& line : lines_of(text_)) {
        path.addText(QPointF(kOsdMargin, baseline), letters, line);
        baseline += metrics.lineSpacing();
    }
    QPainter painter(&picture_);
    painter.setRenderHint(QPainter::Antialiasing);
    if (outline_width_ > 0) {
        painter.strokePath(
            path, QPen(kRim, 2.0 * outline_width_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    painter.fillPath(path, kLetters);
}

}  // namespace dravo
