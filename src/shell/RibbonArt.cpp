#include "shell/RibbonArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>
#include <map>

namespace {

const QColor Ink(40, 52, 70);
const QColor Paper(250, 250, 246);
const QColor Accent(30, 110, 190);
const QColor Good(40, 150, 70);
const QColor Bad(200, 50, 40);
const QColor Gold(220, 170, 40);

using Drawing = std::function<void(QPainter&)>;

void Page(QPainter& p)
{
    QPainterPath sheet;
    sheet.moveTo(7, 3);
    sheet.lineTo(20, 3);
    sheet.lineTo(26, 9);
    sheet.lineTo(26, 29);
    sheet.lineTo(7, 29);
    sheet.closeSubpath();
    p.setBrush(Paper);
    p.setPen(QPen(Ink, 1.5));
    p.drawPath(sheet);
    p.drawPolyline(QPolygonF({ QPointF(20, 3), QPointF(20, 9), QPointF(26, 9) }));
}

void Folder(QPainter& p)
{
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(Gold);
    p.drawPolygon(QPolygonF({ QPointF(3, 9), QPointF(12, 9), QPointF(15, 12), QPointF(29, 12), QPointF(29, 27),
        QPointF(3, 27) }));
}

void Disk(QPainter& p)
{
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(Accent);
    p.drawRoundedRect(QRectF(5, 5, 22, 22), 2, 2);
    p.setBrush(Paper);
    p.drawRect(QRectF(10, 6, 12, 7));
    p.drawRect(QRectF(9, 18, 14, 8));
}

void Key(QPainter& p, QPointF at)
{
    p.setPen(QPen(Gold.darker(130), 1.5));
    p.setBrush(Gold);
    p.drawEllipse(at, 5, 5);
    p.setPen(QPen(Gold.darker(130), 3));
    p.drawLine(at + QPointF(4, 4), at + QPointF(14, 14));
    p.drawLine(at + QPointF(10, 10), at + QPointF(13, 7));
    p.drawLine(at + QPointF(13, 13), at + QPointF(16, 10));
}

void Badge(QPainter& p, const QColor& color, const QString& text)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(15, 15, 15, 15));
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    if (text == "+") {
        p.drawLine(QPointF(22.5, 18.5), QPointF(22.5, 26.5));
        p.drawLine(QPointF(18.5, 22.5), QPointF(26.5, 22.5));
    } else if (text == "-") {
        p.drawLine(QPointF(18.5, 22.5), QPointF(26.5, 22.5));
    } else if (text == "x") {
        p.drawLine(QPointF(19.5, 19.5), QPointF(25.5, 25.5));
        p.drawLine(QPointF(25.5, 19.5), QPointF(19.5, 25.5));
    }
}

void Pencil(QPainter& p)
{
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(Gold);
    p.drawPolygon(QPolygonF({ QPointF(14, 28), QPointF(15, 23), QPointF(27, 11), QPointF(31, 15), QPointF(19, 27) }));
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color)
{
    p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF direction = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF side(-direction.y(), direction.x());
    p.drawPolyline(QPolygonF({ to - direction * 5 + side * 5, to, to - direction * 5 - side * 5 }));
}

void Circled(QPainter& p, const QColor& color, const QString& letter)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    QFont font("DejaVu Sans");
    font.setPixelSize(19);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, letter);
}

const std::map<QString, Drawing>& ButtonDrawings()
{
    static const std::map<QString, Drawing> drawings {
        { "btnNew", [](QPainter& p) { Page(p); Badge(p, Good, "+"); } },
        { "btnOpen", [](QPainter& p) { Folder(p); Arrow(p, QPointF(22, 24), QPointF(22, 4), Accent); } },
        { "btnClose", [](QPainter& p) { Page(p); Badge(p, Bad, "x"); } },
        { "btnSave", [](QPainter& p) { Disk(p); } },
        { "btnSaveAs", [](QPainter& p) { Disk(p); Pencil(p); } },
        { "btnnewAr", [](QPainter& p) { Key(p, QPointF(10, 10)); } },
        { "btnImport", [](QPainter& p) { Folder(p); Arrow(p, QPointF(16, 2), QPointF(16, 22), Good); } },
        { "btnExit",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.5));
                p.setBrush(QColor(160, 110, 70));
                p.drawRect(QRectF(5, 3, 14, 26));
                Arrow(p, QPointF(14, 16), QPointF(30, 16), Bad);
            } },
        { "btnAdd", [](QPainter& p) { Page(p); Badge(p, Good, "+"); Pencil(p); } },
        { "btnModify", [](QPainter& p) { Page(p); Pencil(p); } },
        { "btnDel", [](QPainter& p) { Page(p); Badge(p, Bad, "-"); } },
        { "benGen",
            [](QPainter& p) {
                Key(p, QPointF(9, 9));
                p.setPen(QPen(Accent, 2));
                for (const QPointF& star : { QPointF(25, 6), QPointF(28, 14), QPointF(20, 4) }) {
                    p.drawLine(star - QPointF(2.5, 0), star + QPointF(2.5, 0));
                    p.drawLine(star - QPointF(0, 2.5), star + QPointF(0, 2.5));
                }
            } },
        { "btnCreate",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.5));
                p.setBrush(QColor(90, 140, 200));
                p.drawRoundedRect(QRectF(3, 5, 26, 18), 2, 2);
                p.drawLine(QPointF(10, 28), QPointF(22, 28));
                Arrow(p, QPointF(9, 19), QPointF(19, 10), Paper);
            } },
        { "btnAbout", [](QPainter& p) { Circled(p, Accent, "i"); } },
        { "btnHelp", [](QPainter& p) { Circled(p, Good, "?"); } },
        { "btnHomepage",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.5));
                p.setBrush(Paper);
                p.drawRect(QRectF(8, 15, 16, 13));
                p.setBrush(Bad);
                p.drawPolygon(QPolygonF({ QPointF(4, 16), QPointF(16, 4), QPointF(28, 16) }));
                p.setBrush(Accent);
                p.drawRect(QRectF(14, 20, 5, 8));
            } },
    };
    return drawings;
}

QIcon Drawn(int size, const Drawing& draw)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    draw(painter);
    painter.end();
    return QIcon(picture);
}

} // namespace

QIcon ButtonPicture(const QString& buttonName)
{
    const auto found = ButtonDrawings().find(buttonName);
    return found == ButtonDrawings().end() ? QIcon() : Drawn(32, found->second);
}

QIcon TabPicture(const QString& pageCaption)
{
    static const std::map<QString, QString> pictureOfPage {
        { "File", "btnOpen" }, { "Edit", "btnModify" }, { "Tools", "benGen" }, { "Help", "btnHelp" } };
    const auto found = pictureOfPage.find(pageCaption);
    return found == pictureOfPage.end() ? QIcon() : Drawn(16, ButtonDrawings().at(found->second));
}
