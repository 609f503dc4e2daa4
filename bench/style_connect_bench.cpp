// The connect window's drawing surface at the limits of the data: 20
// panels, 20 connectors and 50 connections on a generated picture. One
// iteration is what the learner waits for after letting go of a panel: the
// board lays every connection out again and the surface, panels and
// connectors are painted.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "core/styles/connect.h"
#include "gui_app.h"
#include "ui/styles/connect_surface.h"

using namespace tovalo;

namespace {

constexpr QSize kPicture(1000, 700);

// Panels on a 5 x 4 grid, connectors in a row along the bottom, each a
// coloured box with its name, over a ruled background.
QImage generatedPicture(ConnectLists& lists) {
    QImage picture(kPicture, QImage::Format_RGB32);
    picture.fill(QColor(250, 250, 245));
    QPainter p(&picture);
    p.setPen(QColor(220, 220, 230));
    for (int y = 0; y < kPicture.height(); y += 12) {
        p.drawLine(0, y, kPicture.width(), y);
    }
    p.fillRect(0, 0, kPicture.width(), ui::ConnectSurface::kBandHeight, QColor(40, 70, 120));
    for (int k = 0; k < static_cast<int>(kMaxConnectPanels); ++k) {
        const QRect r(30 + (k % 5) * 195, 70 + (k / 5) * 125, 130, 50);
        p.fillRect(r, QColor::fromHsv(k * 17 % 360, 90, 230));
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignCenter, QStringLiteral("P%1").arg(k + 1));
        lists.panels.push_back(
            {{r.left(), r.top(), r.right() + 1, r.bottom() + 1}, "P" + std::to_string(k + 1)});
    }
    for (int k = 0; k < static_cast<int>(kMaxConnectors); ++k) {
        const QRect r(10 + k * 49, 640, 44, 26);
        p.fillRect(r, QColor(255, 255, 220));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("C%1").arg(k + 1));
        lists.connectors.push_back({{r.left(), r.top(), r.right() + 1, r.bottom() + 1},
                                    "C" + std::to_string(k + 1),
                                    k % 2 == 1});
    }
    return picture;
}

void BM_ConnectRedraw20Panels50Connections(benchmark::State& state) {
    bench::guiApp();
    ConnectLists lists;
    const QImage picture = generatedPicture(lists);
    ui::ConnectSurface surface;
    surface.load(picture, std::move(lists));
    surface.show();
    const int panels = static_cast<int>(kMaxConnectPanels);
    for (int k = 0; k < static_cast<int>(kMaxConnections); ++k) {
        // Pairs spread over the grid, some of them joined more than once.
        const int first = k % panels + 1;
        const int second =
            (k * 7 + 3) % panels + 1 == first ? first % panels + 1 : (k * 7 + 3) % panels + 1;
        surface.clickPanelByKey(first, false);
        surface.clickPanelByKey(second, true);
        surface.clickConnector(k % static_cast<int>(kMaxConnectors) + 1);
    }
    if (surface.board().connections().size() != kMaxConnections) {
        state.SkipWithError("the diagram did not get its 50 connections");
        return;
    }
    QImage frame(surface.size(), QImage::Format_ARGB32_Premultiplied);
    int step = ui::ConnectSurface::kKeyStep;
    for (auto _ : state) {
        surface.nudgePanel(1, step, 0);
        step = -step;
        surface.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_ConnectRedraw20Panels50Connections)->Unit(benchmark::kMillisecond);

}  // namespace
