#include "program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace dravo {
namespace {

QPixmap drawn(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    painter.setPen(QPen(QColor(0, 63, 0), 4));
    painter.setBrush(QColor(0, 200, 0));
    painter.drawEllipse(QRectF(4, 4, 56, 56));
    QPainterPath play;
    play.moveTo(25, 18);
    play.lineTo(47, 32);
    play.lineTo(25, 46);
    play.closeSubpath();
    painter.fillPath(play, Qt::white);
    return pixmap;
}

}  // namespace

QIcon program_icon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        icon.addPixmap(drawn(size));
    }
    return icon;
}

}  // namespace dravo
