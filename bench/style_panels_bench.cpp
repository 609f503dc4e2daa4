// One step of dragging a piece in a panel window: the pointer moves while a
// piece is held, and the window paints what changed. It has to fit in a
// frame for the piece to keep up with the pointer.
#include <benchmark/benchmark.h>

#include <QEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <string>

#include "bench_session.h"
#include "gui_app.h"
#include "ui/styles/TfrmSelStyle4.h"

using namespace tovalo;

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 700;
constexpr int kPieces = 20;

// A picture with something in every pixel, so that no blit can be skipped:
// a gradient under a grid of labelled boxes, saved as a 24-bit bitmap.
QString writePicture(const QTemporaryDir& dir) {
    QImage picture(kWidth, kHeight, QImage::Format_RGB888);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            picture.setPixel(x, y, qRgb(x * 255 / kWidth, y * 255 / kHeight, (x ^ y) & 0xff));
        }
    }
    QPainter p(&picture);
    p.setPen(QPen(Qt::black, 2, Qt::DashLine));
    for (int i = 0; i < kPieces; ++i) {
        p.drawRect(40 + (i % 5) * 190, 60 + (i / 5) * 70, 150, 44);
    }
    p.end();
    const QString path = dir.filePath(QStringLiteral("panels.bmp"));
    picture.save(path, "BMP");
    return path;
}

// Counts the paint events the picture surface receives, so that the
// figure shows the repaint did happen rather than timing an empty loop.
class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

// Twenty slots in the upper half and twenty pieces of the same size in the lower.
ExamQuestion panelQuestion() {
    // Each list begins with its first item's "@", which follows the group letter.
    std::string answer = "a", slotList = "b", pieces = "c";
    for (int i = 0; i < kPieces; ++i) {
        const int sx = 40 + (i % 5) * 190, sy = 60 + (i / 5) * 70;
        const int px = 40 + (i % 5) * 190, py = 380 + (i / 5) * 70;
        const std::string slot = std::to_string(sx) + "," + std::to_string(sy) + "," +
                                 std::to_string(sx + 150) + "," + std::to_string(sy + 44);
        const std::string piece = std::to_string(px) + "," + std::to_string(py) + "," +
                                  std::to_string(px + 150) + "," + std::to_string(py + 44);
        slotList += "@" + slot;
        pieces += "@" + piece;
        answer += "@" + slot + ";" + piece;
    }
    ExamQuestion q;
    q.Style = 4;
    q.ShownChoice[0] = answer;
    q.ShownChoice[1] = slotList;
    q.ShownChoice[2] = pieces;
    return q;
}

void BM_PanelDragStep(benchmark::State& state) {
    tovalo::bench::guiApp();
    QTemporaryDir dir;
    bench::BenchSession host(dir.path().toStdString());
    ui::Session& session = host.session;
    session.exam.stage({panelQuestion()});
    session.exam.prepareHandoff(1, {writePicture(dir).toStdString()});

    ui::TfrmSelStyle4 window(session);
    window.show();
    auto* surface = window.findChild<QWidget*>(QStringLiteral("Image1"));
    if (surface == nullptr || surface->size() != QSize(kWidth, kHeight)) {
        state.SkipWithError("the panel window did not show the picture");
        return;
    }
    QImage frame(window.size(), QImage::Format_RGB32);
    QCoreApplication::processEvents();
    PaintCounter counter;
    surface->installEventFilter(&counter);

    // The last piece, held in its middle, wanders back and forth over the
    // others, slanting up as it goes left; it stays within the picture.
    QPoint at(40 + 4 * 190 + 75, 380 + 3 * 70 + 22);
    QMouseEvent press(QEvent::MouseButtonPress, at, surface->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &press);
    QWidget* held = surface->findChild<QWidget*>(QStringLiteral("Piece%1").arg(kPieces));
    const QPoint start = held->pos();
    int step = -3;
    for (auto _ : state) {
        const QRect before = held->geometry();
        if (at.x() < 100 || at.x() > kWidth - 100) {
            step = -step;
        }
        at += QPoint(step, step > 0 ? 1 : -1);
        QMouseEvent move(QEvent::MouseMove, at, surface->mapToGlobal(at), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(surface, &move);
        if (state.range(0) == 0) {
            // What a repaint after the step has to redraw: where the piece
            // was and where it is now (the window system may merge steps).
            const QRegion dirty = QRegion(before) + QRegion(held->geometry());
            window.render(&frame, dirty.boundingRect().topLeft(), dirty);
        } else {
            window.render(&frame);
        }
        benchmark::DoNotOptimize(frame.constBits());
    }
    if (held->pos() == start) {
        state.SkipWithError("the held piece did not follow the pointer");
    }
    QMouseEvent release(QEvent::MouseButtonRelease, at, surface->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &release);
    surface->removeEventFilter(&counter);
    state.counters["surface_paints_per_step"] = benchmark::Counter(
        static_cast<double>(counter.paints) / static_cast<double>(state.iterations()));
    window.hide();
}
// 0: the region the step dirtied; 1: the whole window painted afresh, the upper bound.
BENCHMARK(BM_PanelDragStep)->ArgName("whole")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
