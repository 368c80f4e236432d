// Draws Zendra's command icons (16 x 16 PNG) and the application icon (one .ico holding
// 16, 32 and 48 pixels) into the folder given as first argument; with a second argument,
// also writes there a contact sheet of every icon of the folder, normal and greyed, at 1x
// and at 4x, to look at.
//
// The command icons share one style: a 1-pixel dark outline, white window bodies with a
// blue title bar, blue arrows, green for running and red for stopping. Shapes sit on the
// pixel grid so that they stay sharp at 16 x 16, and every part differs from its
// neighbours in lightness, not only in hue, so that the greyed (disabled) icons still read.

#include <QApplication>
#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QColor outline(0x33, 0x3b, 0x46);
const QColor titleBlue(0x3b, 0x78, 0xd8);
const QColor arrowBlue(0x1d, 0x63, 0xc8);
const QColor textGrey(0x6a, 0x70, 0x78);
const QColor addressBlue(0x2a, 0x4f, 0x9a);
const QColor gridGrey(0x7c, 0x88, 0x98);
const QColor selectionBlue(0x9c, 0xc2, 0xf4);
const QColor runGreen(0x36, 0xa8, 0x3a);
const QColor runGreenDark(0x1c, 0x6b, 0x20);
const QColor stopRed(0xd9, 0x35, 0x25);
const QColor stopRedDark(0x85, 0x1a, 0x10);
const QColor folderBack(0xe0, 0xa5, 0x2a);
const QColor folderFront(0xf8, 0xd6, 0x6a);
const QColor folderLine(0x8f, 0x62, 0x10);

QImage Canvas(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A pixel-exact rectangle outline: the pixels from (x0, y0) to (x1, y1) inclusive.
void Frame(QPainter& p, int x0, int y0, int x1, int y1, const QColor& color)
{
    p.fillRect(x0, y0, x1 - x0 + 1, 1, color);
    p.fillRect(x0, y1, x1 - x0 + 1, 1, color);
    p.fillRect(x0, y0, 1, y1 - y0 + 1, color);
    p.fillRect(x1, y0, 1, y1 - y0 + 1, color);
}

void Span(QPainter& p, int x0, int x1, int y, const QColor& color, int height = 1)
{
    p.fillRect(x0, y, x1 - x0 + 1, height, color);
}

// A window over the whole width: outline, two-pixel title bar, white body. The body
// spans x 1-14, y 4-13.
void Window(QPainter& p, const QColor& body = Qt::white)
{
    p.fillRect(1, 2, 14, 12, body);
    Span(p, 1, 14, 2, titleBlue, 2);
    Frame(p, 0, 1, 15, 14, outline);
}

void TextLines(QPainter& p, int x0, int x1, const std::vector<int>& lengths)
{
    int y = 6;
    for (int length : lengths) {
        Span(p, x0, x0 + 1, y, addressBlue);
        Span(p, x0 + 3, std::min(x0 + 3 + length, x1), y, textGrey);
        y += 2;
    }
}

// A table of byte cells, one of them selected, over the body columns x0 to x1.
void Grid(QPainter& p, int x0, int x1)
{
    p.fillRect(x0, 8, std::min(4, x1 - x0 + 1), 2, selectionBlue);
    for (int x = x0 + 4; x < x1; x += 5)
        p.fillRect(x, 4, 1, 10, gridGrey);
    for (int y = 7; y <= 10; y += 3)
        Span(p, x0 - 1, x1, y, gridGrey);
}

void Arrowhead(QPainter& p, QPointF tip, QPointF base1, QPointF base2, const QColor& color)
{
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(base1);
    path.lineTo(base2);
    path.closeSubpath();
    p.fillPath(path, color);
}

QPainterPath Curve(QPointF from, QPointF control1, QPointF control2, QPointF to)
{
    QPainterPath path(from);
    path.cubicTo(control1, control2, to);
    return path;
}

// A blue arrow: its shaft stroked along the path, its head the triangle tip, base1, base2.
void Arrow(QPainter& p, const QPainterPath& shaft, QPointF tip, QPointF base1, QPointF base2, qreal width = 2.0)
{
    p.strokePath(shaft, QPen(arrowBlue, width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    Arrowhead(p, tip, base1, base2, arrowBlue);
}

// The subroutine that the step commands enter, pass over or leave: an open bracket.
void Bracket(QPainter& p, int x0, int x1, int top)
{
    p.fillRect(x0, top, 2, 15 - top, outline);
    p.fillRect(x1 - 1, top, 2, 15 - top, outline);
    Span(p, x0, x1, 13, outline, 2);
}

// ---------------------------------------------------------------------------------------

// A filled polygon with a 1-pixel outline.
void Shape(QPainter& p, std::initializer_list<QPointF> corners, const QColor& fill, const QColor& line)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QVector<QPointF>(corners)));
    path.closeSubpath();
    p.fillPath(path, fill);
    p.strokePath(path, QPen(line, 1.0));
}

// The green play triangle, its upright side at x = left, its tip at x = tip.
void PlayTriangle(QPainter& p, qreal left, qreal tip)
{
    Shape(p, {{left, 1.5}, {tip, 8.0}, {left, 14.5}}, runGreen, runGreenDark);
}

void DrawRun(QPainter& p)
{
    PlayTriangle(p, 3.5, 13.5);
}

void DrawQuickRun(QPainter& p)
{
    PlayTriangle(p, 6.5, 15.0);
    Span(p, 1, 4, 4, runGreenDark);
    Span(p, 0, 4, 7, runGreenDark, 2);
    Span(p, 1, 4, 11, runGreenDark);
}

void DrawStopEmulation(QPainter& p)
{
    p.fillRect(3, 3, 10, 10, stopRed);
    Frame(p, 2, 2, 13, 13, stopRedDark);
}

// One cleared register: a box holding two zeros.
void DrawReset(QPainter& p)
{
    p.fillRect(1, 3, 14, 10, QColor(0xe8, 0xf0, 0xfb));
    Frame(p, 0, 2, 15, 13, outline);
    for (int x : {3, 9}) {
        Span(p, x + 1, x + 2, 5, addressBlue);
        Span(p, x + 1, x + 2, 10, addressBlue);
        p.fillRect(x, 6, 1, 4, addressBlue);
        p.fillRect(x + 3, 6, 1, 4, addressBlue);
    }
}

// The next instruction passed by: an arrow from the line above to the line below.
void DrawSkip(QPainter& p)
{
    Span(p, 9, 15, 2, textGrey, 2);
    Span(p, 9, 13, 7, QColor(0xb8, 0xbe, 0xc6), 2);
    Span(p, 9, 14, 12, textGrey, 2);
    Arrow(p, Curve({7.0, 3.0}, {0.5, 3.0}, {0.5, 12.5}, {4.5, 12.5}), QPointF(8.5, 12.5), QPointF(4.0, 9.0), QPointF(4.0, 16.0));
}

void DrawStepInto(QPainter& p)
{
    Bracket(p, 2, 13, 8);
    p.fillRect(7, 0, 2, 7, arrowBlue);
    Arrowhead(p, QPointF(8.0, 12.0), QPointF(4.0, 6.5), QPointF(12.0, 6.5), arrowBlue);
}

void DrawStepOver(QPainter& p)
{
    Bracket(p, 3, 9, 9);
    Arrow(p, Curve({1.0, 13.0}, {1.0, 0.5}, {12.5, 0.5}, {12.5, 8.0}), QPointF(12.5, 13.5), QPointF(9.0, 8.5), QPointF(16.0, 8.5));
}

void DrawStepOut(QPainter& p)
{
    Bracket(p, 0, 9, 8);
    QPainterPath path;
    path.moveTo(5.0, 12.0);
    path.lineTo(5.0, 6.0);
    path.cubicTo(5.0, 3.5, 6.0, 3.0, 10.0, 3.0);
    Arrow(p, path, QPointF(15.5, 3.0), QPointF(10.0, -0.5), QPointF(10.0, 6.5));
}

void DrawUndo(QPainter& p)
{
    QPainterPath path;
    path.moveTo(11.0, 14.0);
    path.cubicTo(15.5, 10.0, 14.5, 4.0, 7.0, 4.0);
    path.lineTo(5.0, 4.0);
    Arrow(p, path, QPointF(0.5, 4.0), QPointF(6.0, -0.5), QPointF(6.0, 8.5), 2.2);
}

void DrawOpen(QPainter& p)
{
    // The back of the folder with its tab, then the open front flap.
    Shape(p, {{0.5, 13.5}, {0.5, 2.5}, {5.5, 2.5}, {6.5, 4.5}, {13.5, 4.5}, {13.5, 13.5}}, folderBack, folderLine);
    Shape(p, {{0.5, 13.5}, {3.5, 7.5}, {15.5, 7.5}, {13.0, 13.5}}, folderFront, folderLine);
}

void DrawAddDisaView(QPainter& p)
{
    Window(p);
    TextLines(p, 2, 13, {6, 3, 8, 5});
}

void DrawAddHexaView(QPainter& p)
{
    Window(p);
    Grid(p, 2, 13);
}

void DrawAddMixedView(QPainter& p)
{
    Window(p);
    TextLines(p, 2, 7, {3, 2, 3, 1});
    p.fillRect(8, 4, 1, 10, outline);
    Grid(p, 10, 14);
}

void DrawEditBreakpoint(QPainter& p)
{
    Window(p);
    for (int y : {6, 9, 12})
        Span(p, 9, y == 9 ? 12 : 13, y, textGrey);
    p.setPen(QPen(stopRedDark, 1.0));
    p.setBrush(stopRed);
    p.drawEllipse(QPointF(5.0, 9.0), 3.3, 3.3);
}

void DrawVideoOut(QPainter& p)
{
    Window(p, QColor(0x10, 0x12, 0x14));
    const QColor glow(0xe8, 0xff, 0xe8);
    // A prompt "> _".
    p.fillRect(3, 6, 1, 1, glow);
    p.fillRect(4, 7, 1, 1, glow);
    p.fillRect(5, 8, 1, 1, glow);
    p.fillRect(4, 9, 1, 1, glow);
    p.fillRect(3, 10, 1, 1, glow);
    Span(p, 7, 10, 10, glow);
}

// The application: a 68000 chip marked with a Z, drawn for each size.
QImage DrawMain(int size)
{
    QImage image = Canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal u = size / 16.0;
    const int pins = size == 16 ? 3 : (size == 32 ? 5 : 7);
    const QColor pin(0xb8, 0xbf, 0xc8);
    const qreal pinStep = (12.0 * u) / pins;
    const int pinHeight = std::max(1, qRound(pinStep * 0.5));
    for (int i = 0; i < pins; ++i) {
        const int y = qRound(2.0 * u + pinStep * (i + 0.5) - pinHeight / 2.0);
        p.fillRect(QRect(qRound(0.5 * u), y, qRound(15.0 * u), pinHeight), pin);
    }
    const QRectF body(2.5 * u, 1.0 * u, 11.0 * u, 14.0 * u);
    QLinearGradient shade(body.topLeft(), body.bottomRight());
    shade.setColorAt(0.0, QColor(0x3a, 0x4a, 0x5e));
    shade.setColorAt(1.0, QColor(0x1c, 0x24, 0x2e));
    p.setPen(QPen(QColor(0x10, 0x14, 0x1a), std::max<qreal>(1.0, u * 0.6)));
    p.setBrush(shade);
    p.drawRoundedRect(body, 1.2 * u, 1.2 * u);
    // The Z, in the blue of the arrows, lightened to stand out on the dark chip.
    QPainterPath z;
    z.moveTo(5.0 * u, 4.0 * u);
    z.lineTo(11.0 * u, 4.0 * u);
    z.lineTo(5.0 * u, 12.0 * u);
    z.lineTo(11.0 * u, 12.0 * u);
    p.strokePath(z, QPen(QBrush(QColor(0x8c, 0xc4, 0xff)), size == 16 ? 2.0 : 1.6 * u, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    // The pin-1 notch, as on a real package.
    if (size >= 32) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x6a, 0x7a, 0x8e));
        p.drawEllipse(QPointF(4.4 * u, 2.9 * u), 0.7 * u, 0.7 * u);
    }
    return image;
}

// An .ico with one 32-bit DIB entry (colour and AND mask) per image, as the format wants.
QByteArray IcoFile(const std::vector<QImage>& images)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());
    std::vector<QByteArray> entries;
    for (const QImage& source : images) {
        const QImage image = source.convertToFormat(QImage::Format_ARGB32);
        const int w = image.width();
        const int h = image.height();
        QByteArray dib;
        QDataStream d(&dib, QIODevice::WriteOnly);
        d.setByteOrder(QDataStream::LittleEndian);
        d << quint32(40) << qint32(w) << qint32(2 * h) << quint16(1) << quint16(32) << quint32(0)
          << quint32(0) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
        for (int y = h - 1; y >= 0; --y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < w; ++x)
                d << quint8(qBlue(line[x])) << quint8(qGreen(line[x])) << quint8(qRed(line[x]))
                  << quint8(qAlpha(line[x]));
        }
        const int maskStride = ((w + 31) / 32) * 4;
        for (int y = h - 1; y >= 0; --y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            QByteArray row(maskStride, '\0');
            for (int x = 0; x < w; ++x) {
                if (qAlpha(line[x]) == 0)
                    row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
            }
            d.writeRawData(row.constData(), row.size());
        }
        entries.push_back(dib);
    }
    quint32 offset = 6 + 16 * quint32(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int w = images[i].width();
        out << quint8(w >= 256 ? 0 : w) << quint8(w >= 256 ? 0 : w) << quint8(0) << quint8(0) << quint16(1)
            << quint16(32) << quint32(entries[i].size()) << offset;
        offset += entries[i].size();
    }
    for (const QByteArray& entry : entries)
        out.writeRawData(entry.constData(), entry.size());
    return data;
}

struct CommandIcon {
    const char* name;
    std::function<void(QPainter&)> draw;
};

const std::vector<CommandIcon>& CommandIcons()
{
    static const std::vector<CommandIcon> icons = {
        {"AddDisaView", DrawAddDisaView},   {"AddHexaView", DrawAddHexaView},
        {"AddMixedView", DrawAddMixedView}, {"EditBreakpoint", DrawEditBreakpoint},
        {"Open", DrawOpen},                 {"QuickRun", DrawQuickRun},
        {"Reset", DrawReset},               {"Run", DrawRun},
        {"Skip", DrawSkip},                 {"StepInto", DrawStepInto},
        {"StepOut", DrawStepOut},           {"StepOver", DrawStepOver},
        {"StopEmulation", DrawStopEmulation}, {"Undo", DrawUndo},
        {"VideoOut", DrawVideoOut},
    };
    return icons;
}

bool Save(const QImage& image, const QString& path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// Every icon of the folder in rows: its name, then normal and greyed at 1x and at 4x,
// on the grey of a tool bar.
QImage ContactSheet(const QDir& folder)
{
    QStringList files = folder.entryList({"*.png", "*.ico"}, QDir::Files, QDir::Name);
    const int rowHeight = 72;
    QImage sheet(560, 8 + rowHeight * files.size(), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xef, 0xef, 0xef));
    QPainter p(&sheet);
    p.setFont(QFont("Arial", 9));
    QStyleOption option;
    option.palette = QApplication::palette();
    int y = 4;
    for (const QString& file : files) {
        const QIcon icon(folder.filePath(file));
        const QList<QSize> sizes = file.endsWith(".ico") ? icon.availableSizes() : QList<QSize>{QSize(16, 16)};
        p.setPen(Qt::black);
        p.drawText(8, y + 36, file);
        int x = 150;
        for (const QSize& size : sizes) {
            const QPixmap normal = icon.pixmap(size);
            const QPixmap greyed = QApplication::style()->generatedIconPixmap(QIcon::Disabled, normal, &option);
            const int zoom = size.width() > 16 ? 1 : 4;
            p.drawPixmap(x, y + 4, normal);
            p.drawPixmap(x + size.width() + 6, y + 4, greyed);
            x += 2 * size.width() + 16;
            if (zoom > 1) {
                p.drawImage(QRect(x, y + 2, 64, 64), normal.toImage());
                p.drawImage(QRect(x + 70, y + 2, 64, 64), greyed.toImage());
                x += 150;
            }
        }
        y += rowHeight;
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: draw-icons <icon folder> [contact sheet.png]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    for (const CommandIcon& icon : CommandIcons()) {
        // At 16 pixels, and at 32 for screens of twice the density ("@2x", which Qt picks).
        for (const int scale : {1, 2}) {
            QImage image = Canvas(16 * scale);
            {
                QPainter p(&image);
                p.setRenderHint(QPainter::Antialiasing);
                p.scale(scale, scale);
                icon.draw(p);
            }
            ok = Save(image, folder.filePath(QString(icon.name) + (scale == 2 ? "@2x.png" : ".png"))) && ok;
        }
    }
    // The application's icon for the desktop's menus, at the sizes of the icon themes.
    folder.mkpath("app");
    for (const int size : {16, 32, 48, 64, 128, 256})
        ok = Save(DrawMain(size), folder.filePath(QString("app/zendra-%1.png").arg(size))) && ok;
    QFile ico(folder.filePath("Main.ico"));
    if (ico.open(QIODevice::WriteOnly)) {
        ico.write(IcoFile({DrawMain(16), DrawMain(32), DrawMain(48)}));
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(ico.fileName()));
        ok = false;
    }
    ico.close();
    if (argc > 2)
        ok = Save(ContactSheet(folder), QString::fromLocal8Bit(argv[2])) && ok;
    return ok ? 0 : 1;
}
