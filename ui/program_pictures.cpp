#include "program_pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor Navy(24, 48, 96);
const QColor Steel(150, 160, 175);
const QColor Chemical(200, 40, 40);
const QColor Medium(120, 180, 230);
const QColor Specimen(240, 200, 60);

// The cell seen in section: the challenge chamber (chemical, left) and the collection
// chamber (medium, right) clamped on either side of the specimen, with the collection
// side's inlet and outlet, drawn in a 100 × 100 box; ui/icons/orvane.svg draws the same cell
// for the icon.
void PaintTestCell(QPainter &painter, const QRectF &box)
{
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(box.width() / 100.0, box.height() / 100.0);
    painter.setPen(QPen(Navy, 2.5));
    painter.setBrush(Steel);
    painter.drawRect(QRectF(71, 6, 8, 22)); // inlet of the collection side
    painter.drawRect(QRectF(71, 72, 8, 22)); // outlet
    painter.setBrush(Chemical);
    painter.drawRoundedRect(QRectF(6, 26, 36, 48), 6, 6);
    painter.setBrush(Medium);
    painter.drawRoundedRect(QRectF(58, 26, 36, 48), 6, 6);
    painter.setBrush(Steel);
    painter.drawRect(QRectF(38, 16, 8, 68)); // flanges clamping the specimen
    painter.drawRect(QRectF(54, 16, 8, 68));
    painter.setBrush(Specimen);
    painter.drawRect(QRectF(46, 10, 8, 80));
    painter.restore();
}

void PaintTitleBackground(QPainter &painter, const QRect &area)
{
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(250, 252, 255));
    sky.setColorAt(1, QColor(200, 215, 235));
    painter.fillRect(area, sky);
}

void PaintTitleText(QPainter &painter, const QRect &area)
{
    painter.setPen(Navy);
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(64);
    name.setBold(true);
    painter.setFont(name);
    painter.drawText(QRect(0, 18, area.width(), 80), Qt::AlignCenter, QStringLiteral("Orvane"));
    QFont version(QStringLiteral("DejaVu Sans"));
    version.setPixelSize(20);
    painter.setFont(version);
    painter.drawText(QRect(0, 96, area.width(), 28), Qt::AlignCenter, QStringLiteral("Version 2.5.0"));
    version.setPixelSize(14);
    painter.setFont(version);
    painter.drawText(QRect(0, 335, area.width(), 24), Qt::AlignCenter,
        QStringLiteral("Chemical permeation through protective clothing"));
}

} // namespace

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/orvane-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QImage TitlePicture()
{
    QImage picture(500, 375, QImage::Format_RGB888);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintTitleBackground(painter, picture.rect());
    PaintTitleText(painter, picture.rect());
    PaintTestCell(painter, QRectF(170, 135, 160, 190));
    return picture;
}
