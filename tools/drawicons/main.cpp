// Draws the program's pictures into res/icons/, the demo plug-ins' icons into the example
// Korvane folder and, given a third folder, the program's icon at the sizes desktops ask for
// (dist/linux/icons/). Run it after changing a picture and commit what it writes:
//   drawicons <res/icons folder> <examples/Korvane/storage folder> [<dist/linux/icons folder>]
#include <cstdio>
#include <functional>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

namespace {

using Drawing = std::function<void(QPainter&)>;

// Every picture is drawn on a 32 x 32 grid and scaled by the painter to the size asked for.
QImage Render(int size, const Drawing& draw)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    draw(painter);
    return image;
}

bool Save(const QImage& image, const QString& path, const char* format)
{
    QImageWriter writer(path, format);
    if (writer.write(image))
        return true;
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                 qPrintable(writer.errorString()));
    return false;
}

const QColor kOutline(40, 40, 48);

void Folder(QPainter& p, bool open)
{
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(QColor(214, 160, 40));
    QPainterPath back;
    back.moveTo(3, 8);
    back.lineTo(12, 8);
    back.lineTo(15, 11);
    back.lineTo(28, 11);
    back.lineTo(28, 27);
    back.lineTo(3, 27);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 206, 90));
    if (open) {
        p.drawPolygon(QPolygonF({{7, 15}, {31, 15}, {27, 27}, {3, 27}}));
    } else {
        p.drawRect(QRectF(3, 14, 25, 13));
    }
}

void Plugin(QPainter& p)
{
    // A script page with a folded corner and a plug on it.
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(QColor(248, 248, 240));
    p.drawPolygon(QPolygonF({{6, 3}, {20, 3}, {27, 10}, {27, 29}, {6, 29}}));
    p.drawPolyline(QPolygonF({{20, 3}, {20, 10}, {27, 10}}));
    p.setBrush(QColor(60, 150, 80));
    p.drawRoundedRect(QRectF(10, 15, 12, 9), 2, 2);
    p.drawRect(QRectF(12, 11, 2.5, 4));
    p.drawRect(QRectF(17.5, 11, 2.5, 4));
}

void Application(QPainter& p, bool small)
{
    // A shield with the letter K: the modification's colours.
    QPainterPath shield;
    shield.moveTo(16, 1.5);
    shield.lineTo(29, 6);
    shield.cubicTo(29, 18, 24, 26, 16, 30.5);
    shield.cubicTo(8, 26, 3, 18, 3, 6);
    shield.closeSubpath();
    p.setPen(QPen(kOutline, small ? 2.5 : 1.5));
    QLinearGradient fill(0, 0, 32, 32);
    fill.setColorAt(0, QColor(60, 110, 200));
    fill.setColorAt(1, QColor(20, 40, 110));
    p.setBrush(fill);
    p.drawPath(shield);
    p.setPen(
        QPen(QColor(255, 190, 60), small ? 4.5 : 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(12, 9), QPointF(12, 23));
    p.drawPolyline(QPolygonF({{21, 9}, {12.5, 16}, {21, 23}}));
}

// Icons of the demo's plug-ins: a plain shape each, so the tree shows them apart.
struct DemoIcon
{
    const char* file; // below the storage folder
    QColor colour;
    int shape;
};

void DemoShape(QPainter& p, const DemoIcon& icon)
{
    p.setPen(QPen(kOutline, 2));
    p.setBrush(icon.colour);
    switch (icon.shape) {
    case 0: // a round charge
        p.drawEllipse(QRectF(5, 5, 22, 22));
        p.drawEllipse(QRectF(12, 12, 8, 8));
        break;
    case 1: // cross hairs
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(icon.colour, 3));
        p.drawEllipse(QRectF(6, 6, 20, 20));
        p.drawLine(QPointF(16, 2), QPointF(16, 30));
        p.drawLine(QPointF(2, 16), QPointF(30, 16));
        break;
    case 2: // a plate
        p.drawRoundedRect(QRectF(6, 4, 20, 24), 6, 6);
        p.drawLine(QPointF(16, 6), QPointF(16, 26));
        break;
    case 3: // a turret
        p.drawRect(QRectF(8, 18, 16, 10));
        p.drawEllipse(QRectF(10, 10, 12, 12));
        p.setPen(QPen(kOutline, 4));
        p.drawLine(QPointF(18, 14), QPointF(29, 6));
        break;
    default: // a score board
        p.drawRect(QRectF(4, 6, 24, 20));
        p.setPen(QPen(Qt::white, 2.5));
        for (int y = 11; y <= 21; y += 5)
            p.drawLine(QPointF(8, y), QPointF(24, y));
        break;
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: drawicons <res/icons folder> <examples storage folder> "
                             "[<desktop icons folder>]\n");
        return 2;
    }
    const QDir icons(QString::fromLocal8Bit(argv[1]));
    const QDir storage(QString::fromLocal8Bit(argv[2]));

    struct Picture
    {
        const char* name;
        int size;
        Drawing draw;
    };
    const Picture pictures[] = {
        {"application-32", 32, [](QPainter& p) { Application(p, false); }},
        {"application-16", 16, [](QPainter& p) { Application(p, true); }},
        {"window-16", 16, [](QPainter& p) { Application(p, true); }},
        {"folder-closed-32", 32, [](QPainter& p) { Folder(p, false); }},
        {"folder-closed-16", 16, [](QPainter& p) { Folder(p, false); }},
        {"folder-open-32", 32, [](QPainter& p) { Folder(p, true); }},
        {"folder-open-16", 16, [](QPainter& p) { Folder(p, true); }},
        {"plugin-16", 16, Plugin},
    };
    bool ok = icons.mkpath(".");
    for (const Picture& picture : pictures)
        ok = Save(Render(picture.size, picture.draw),
                  icons.filePath(QString::fromLatin1(picture.name) + ".png"), "png") &&
             ok;

    const DemoIcon demo[] = {
        {"blaster.ico", QColor(220, 60, 40), 0},
        {"weapons/sniper.ico", QColor(200, 30, 30), 1},
        {"scoutsuit.ico", QColor(90, 150, 210), 2},
        {"deployables/turret.ico", QColor(120, 120, 130), 3},
        {"scoreboard.ico", QColor(40, 120, 60), 4},
    };
    for (const DemoIcon& icon : demo) {
        const QString path = storage.filePath(QString::fromLatin1(icon.file));
        ok = QDir().mkpath(QFileInfo(path).path()) &&
             Save(Render(16, [&icon](QPainter& p) { DemoShape(p, icon); }), path, "ico") && ok;
    }
    if (argc == 4) {
        // One file a size, named by its size; the build installs each into the icon theme.
        const QDir desktop(QString::fromLocal8Bit(argv[3]));
        ok = desktop.mkpath(".") && ok;
        for (const int size : {16, 32, 48, 64, 128, 256})
            ok = Save(Render(size, [size](QPainter& p) { Application(p, size <= 16); }),
                      desktop.filePath(QString::number(size) + ".png"), "png") &&
                 ok;
    }
    return ok ? 0 : 1;
}
