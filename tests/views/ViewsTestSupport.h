// What the view tests share: a document holding the assembled test program, views shown at
// a chosen size in lines, and a paint device that records what a view draws (texts with
// their baseline points and fonts, images, filled and outlined rectangles).
#ifndef VIEWS_TEST_SUPPORT_H
#define VIEWS_TEST_SUPPORT_H

#include "splitview/SplitViewTestSupport.h"

#include "core/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "splitview/ViewManager.h"

#include <QFile>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTabWidget>

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
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

// Every record carries its place in the order of drawing.
struct DrawnText
{
    int order;
    QPointF at;
    QString text;
    bool bold;
};

struct DrawnImage
{
    int order;
    QRectF at;
    QImage image;
};

struct DrawnRect
{
    int order;
    QRectF rect;
    QColor pen;
    QColor brush;
    Qt::BrushStyle style;
};

struct Drawing
{
    QList<DrawnText> texts;
    QList<DrawnImage> images;
    QList<DrawnRect> rects;

    // The texts drawn with their baseline on one row of pixels, in the order drawn.
    QList<DrawnText> Row(qreal baseline) const
    {
        QList<DrawnText> row;
        for (const DrawnText& t : texts)
            if (t.at.y() == baseline)
                row << t;
        return row;
    }

    // The texts of each row, top row first.
    QList<QStringList> Lines() const
    {
        QList<QStringList> lines;
        qreal baseline = -1e9;
        for (const DrawnText& t : texts) {
            if (lines.isEmpty() || t.at.y() != baseline) {
                lines.append(QStringList());
                baseline = t.at.y();
            }
            lines.last() << t.text;
        }
        return lines;
    }
};

// Keeps what reaches it instead of drawing it.
class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & DirtyFont)
            font = state.font();
        if (state.state() & DirtyPen)
            pen = state.pen();
        if (state.state() & DirtyBrush)
            brush = state.brush();
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        drawing.texts.append({next++, p, item.text(), font.weight() > QFont::Normal});
    }
    void drawImage(const QRectF& r, const QImage& image, const QRectF&, Qt::ImageConversionFlags) override
    {
        drawing.images.append({next++, r, image});
    }
    void drawPixmap(const QRectF& r, const QPixmap& pixmap, const QRectF&) override
    {
        drawing.images.append({next++, r, pixmap.toImage()});
    }
    // Lines and polygons are not recorded; the engine's own fallbacks call each other.
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            drawing.rects.append({next++, rects[i], pen.style() == Qt::NoPen ? QColor() : pen.color(), brush.color(), brush.style()});
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
    ~RecordingDevice() override = default;

    QPaintEngine* paintEngine() const override { return &engine; }
    mutable RecordingEngine engine;

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return size.width();
        case PdmHeight: return size.height();
        case PdmWidthMM: return size.width() * 254 / 960;
        case PdmHeightMM: return size.height() * 254 / 960;
        case PdmNumColors: return INT_MAX;
        case PdmDepth: return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 96;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
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

// Answers the modal windows that open while it lives, one step per window shown, from a
// timer, so that no test hangs on a dialog. A window left once the steps are spent is
// rejected.
class ModalAnswers
{
public:
    using Step = std::function<void(QWidget*)>;

    explicit ModalAnswers(const QList<Step>& steps)
        : steps(steps)
    {
        timer.setInterval(0);
        // A timer does not fire again inside its own handler, and a step may wait in the
        // event loop of the next window: the steps run from single shots of their own.
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (pending || !QApplication::activeModalWidget())
                return;
            pending = true;
            QTimer::singleShot(0, &timer, [this] {
                pending = false;
                QWidget* modal = QApplication::activeModalWidget();
                if (!modal)
                    return;
                const int step = done++;
                if (step < this->steps.size())
                    this->steps[step](modal);
                else if (QDialog* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
            });
        });
        timer.start();
    }

    int done = 0;

private:
    QList<Step> steps;
    QTimer timer;
    bool pending = false;
};

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

// Shows a view (a window of its own) so that its content area is `lines` lines high plus
// `extra` pixels, and `width` pixels wide.
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
