// What the view tests share: a document holding the assembled test program, and a paint
// device that records what a view draws.
#ifndef VIEWS_TEST_SUPPORT_H
#define VIEWS_TEST_SUPPORT_H

#include "splitview/SplitViewTestSupport.h"

#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "splitview/ViewManager.h"

#include <QFile>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QMap>
#include <QPainter>
#include <QTabWidget>

#include <memory>

namespace ViewsTest {

constexpr unsigned int programStart = 0x1000;
constexpr unsigned int dataStart = 0x1030;

// One document per test, known to the views through the manager's statics, with the test
// program at 0x1000, the program counter on its first instruction and a stack.
class Machine
{
public:
    Machine()
        : tabs(new QTabWidget),
          document(new Document)
    {
        ViewManager::Initialize(tabs.get(), document.get());
        QFile file(QStringLiteral(VIEWS_PROGRAM));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", VIEWS_PROGRAM);
        const QByteArray bytes = file.readAll();
        for (int i = 0; i < bytes.size(); ++i)
            document->memory->Write(programStart + unsigned(i), static_cast<unsigned char>(bytes[i]), 8, true);
        Register* r = document->emulator->registers;
        r->pc = programStart;
        r->ssp = 0x8000;
    }

    ~Machine()
    {
        // The pages go before the document that their views read.
        tabs.reset();
        SplitTest::Settle();
        ViewManager::Initialize(nullptr, nullptr);
    }

    Register* registers() const { return document->emulator->registers; }
    void Poke(unsigned int address, unsigned int byte) { document->memory->Write(address, byte, 8, true); }

    std::unique_ptr<QTabWidget> tabs;
    std::unique_ptr<Document> document;
};

// One thing drawn, with its place in the order of drawing: a text at its baseline point, an
// image, or an outlined rectangle with its pen and brush colours.
struct Drawn
{
    int order;
    QRectF at;
    QString text;
    bool bold;
    QImage image;
    QColor pen;
    QColor brush;
};

struct Drawing
{
    QList<Drawn> texts;
    QList<Drawn> images;
    QList<Drawn> frames;

    // The texts of each row, top row first.
    QList<QStringList> Lines() const
    {
        // By baseline, top to bottom, and along each line from the left: a view may draw its
        // columns in several passes.
        QMap<qreal, QMap<qreal, QString>> byLine;
        for (const auto& t : texts)
            byLine[t.at.y()][t.at.x()] = t.text;
        QList<QStringList> lines;
        for (const auto& line : byLine)
            lines.append(line.values());
        return lines;
    }
};

// Keeps what reaches it instead of drawing it. Fills (no pen), lines and polygons are left out.
class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override
    {
        font = state.state() & DirtyFont ? state.font() : font;
        pen = state.state() & DirtyPen ? state.pen() : pen;
        brush = state.state() & DirtyBrush ? state.brush() : brush;
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        drawing.texts.append({next++, QRectF(p, QSizeF()), item.text(), font.weight() > QFont::Normal, {}, {}, {}});
    }
    void drawImage(const QRectF& r, const QImage& image, const QRectF&, Qt::ImageConversionFlags) override
    {
        drawing.images.append({next++, r, {}, false, image, {}, {}});
    }
    void drawPixmap(const QRectF& r, const QPixmap& pixmap, const QRectF& s) override { drawImage(r, pixmap.toImage(), s, {}); }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count && pen.style() != Qt::NoPen; ++i)
            drawing.frames.append({next++, rects[i], {}, false, {}, pen.color(), brush.color()});
    }
    void drawRects(const QRect* rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QRectF r(rects[i]);
            drawRects(&r, 1);
        }
    }

    QFont font;
    QPen pen;
    QBrush brush;
    Drawing drawing;
    int next = 0;
};

class RecordingDevice : public QPaintDevice
{
public:
    explicit RecordingDevice(QSize size) : size(size) {}

    QPaintEngine* paintEngine() const override { return &engine; }
    mutable RecordingEngine engine;

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return size.width();
        case PdmHeight: return size.height();
        case PdmDepth: return 32;
        case PdmNumColors: return INT_MAX;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        case PdmWidthMM:
        case PdmHeightMM: return 100;
        case PdmDevicePixelRatio: return 1;
        default: return 96;
        }
    }

private:
    QSize size;
};

// A press and its release through the window, as a click of the user's.
inline void ClickAt(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton)
{
    SplitTest::Press(w, pos, button);
    SplitTest::Release(w, pos, button);
}

// What one call of the view's Draw produces.
template <class V>
Drawing Record(V& view)
{
    RecordingDevice device(view.size());
    {
        QPainter painter(&device);
        painter.setFont(view.font());
        view.Draw(painter);
    }
    return device.engine.drawing;
}

// Shows a view as a window of its own, of the size given.
inline void Show(QWidget* w, int width, int height)
{
    w->resize(width, height);
    w->show();
    if (!QTest::qWaitForWindowExposed(w))
        qWarning("view not exposed");
    SplitTest::Settle();
}

} // namespace ViewsTest

#endif
