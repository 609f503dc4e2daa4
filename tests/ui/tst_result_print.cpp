// The result screen's history chart and printed report on copies of the
// staged sample installation: the chart's pixels as the screen paints
// them (also at twice the scale, when QT_SCALE_FACTOR says so), and the
// report written by a click on its button, read back from disk, its PNG
// pictures read by Qt's own reader.

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QtTest>
#include <ctime>

#include "core/common/files.h"
#include "core/results/bitmap_files.h"
#include "core/results/history_file.h"
#include "core/results/mono_canvas.h"
#include "core/text/cp932.h"
#include "exam_rig.h"
#include "ui/results/TResultForm.h"
#include "ui/widgets/image_button.h"

using tovalo::ui::ImageButton;
using tovalo::ui::TResultForm;

namespace {

tovalo::ExamRecord record(int rate, int minutes, int month, int day) {
    tovalo::ExamRecord r;
    r.Rate = rate;
    r.Minutes = minutes;
    r.Month = month;
    r.Day = day;
    r.Hour = 10;
    r.Minute = 30;
    r.Mode = 1;
    r.QuestionCount = 12;
    return r;
}

// The report's installed folder, which the rig does not copy.
void installPrintFolder(ExamRig& rig) {
    const QDir stage(QStringLiteral(TOVALO_STAGE_ROOT "/bin/Print"));
    QDir(rig.path(QStringLiteral("bin"))).mkpath(QStringLiteral("Print"));
    for (const QString& name : stage.entryList(QDir::Files)) {
        QVERIFY(QFile::copy(stage.filePath(name), rig.path(QStringLiteral("bin/Print/") + name)));
    }
}

// KCL-110 (a 20-minute course) with stored exams in slots 0 and 2 and the
// exam on screen at 50 %, 15 minutes, graded on 31 July at 9:05.
TResultForm* showGradedExam(ExamRig& rig) {
    rig.clock.time = localTime(2026, 7, 31, 9, 5);
    rig.drawExam("kumo", "KCL-110", 12, 30);
    tovalo::ui::Session& s = *rig.session;
    tovalo::HistoryFile h;
    h.exams[0] = record(70, 10, 7, 30);
    h.exams[2] = record(30, 40, 7, 20);
    h.BestRate = 70;
    h.categories[0].RecentRates = {60, 40, 0, 0, 0};
    h.categories[0].CategoryAverage = 50;
    h.categories[1].CategoryAverage = 44;
    h.categories[2].CategoryAverage = 12;
    if (!tovalo::saveHistoryFile(s.course()->HisPath, h).ok()) {
        return nullptr;
    }
    for (int p = 1; p <= 6; ++p) {
        rig.answerRight(p);
    }
    s.exam.engine().setElapsedSeconds(15 * 60 + 7);
    TResultForm* result = rig.screens->ResultForm;
    result->show();
    return result;
}

// The colour, or the colour at no less than 60 % where antialiasing
// blends an edge into the black background.
bool sameHue(const QColor& c, const QColor& colour) {
    const int top = std::max({colour.red(), colour.green(), colour.blue()});
    const int seen = std::max({c.red(), c.green(), c.blue()});
    if (top == 0) {
        return seen < 40;
    }
    const double k = static_cast<double>(seen) / top;
    return k >= 0.6 && qAbs(c.red() - colour.red() * k) < 40 &&
           qAbs(c.green() - colour.green() * k) < 40 && qAbs(c.blue() - colour.blue() * k) < 40;
}

// What the screen painted at logical (x, y), looked for in the device pixels
// of a small square around it: lines and dots are antialiased, so their
// exact device pixel depends on the scale.
bool paintedNear(const QImage& chart, qreal ratio, int x, int y, const QColor& colour,
                 int radius = 1) {
    const int cx = qRound(x * ratio);
    const int cy = qRound(y * ratio);
    const int r = qCeil(radius * ratio);
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            const QPoint p(cx + dx, cy + dy);
            if (!chart.rect().contains(p)) {
                continue;
            }
            if (sameHue(chart.pixelColor(p), colour)) {
                return true;
            }
        }
    }
    return false;
}

// Bits of an X bitmap as the report writes it, ink as true.
std::vector<std::vector<bool>> xbmPixels(const QByteArray& xbm, int width, int height) {
    std::vector<std::vector<bool>> rows;
    const QList<QByteArray> lines = xbm.split('\n');
    for (int y = 0; y < height && 3 + y < lines.size(); ++y) {
        const QList<QByteArray> items = lines[3 + y].trimmed().split(',');
        std::vector<bool> row(static_cast<std::size_t>(width));
        for (int x = 0; x < width && x / 8 < items.size(); ++x) {
            row[static_cast<std::size_t>(x)] = ((items[x / 8].toUInt(nullptr, 16) >> (x % 8)) & 1);
        }
        rows.push_back(row);
    }
    return rows;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kSilver(192, 192, 192);
const QColor kBlack(0, 0, 0);

}  // namespace

class TestResultPrint : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    // The chart under the grid: rate in red, time in yellow over the nine
    // stored slots (empty ones on zero) and the new exam as a ring, painted
    // at the screen's scale.
    void chartOnTheResultScreen() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TResultForm* result = showGradedExam(rig);
        QVERIFY(result != nullptr);
        auto* image = result->control<QLabel>(QStringLiteral("Image1"));
        QVERIFY(image->isVisible());
        QVERIFY(result->control<QLabel>(QStringLiteral("Label2"))->isVisible());
        QCOMPARE(result->control<QLabel>(QStringLiteral("Label2"))->text(),
                 QStringLiteral("成績の推移（科目 : クラウド入門）"));

        const qreal expected = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                   ? qgetenv("QT_SCALE_FACTOR").toDouble()
                                   : 1;
        const qreal ratio = result->devicePixelRatioF();
        QCOMPARE(ratio, expected);
        QCOMPARE(image->pixmap().devicePixelRatio(), ratio);
        const QImage chart = image->grab().toImage();
        QCOMPARE(chart.size(), QSize(601, 140) * ratio);

        // Silver frame and guides on black.
        QVERIFY(paintedNear(chart, ratio, 300, 10, kSilver));
        QVERIFY(paintedNear(chart, ratio, 300, 50, kSilver));
        QVERIFY(paintedNear(chart, ratio, 300, 40, kBlack, 0));
        // Stored slot 0 (70 %, 10 minutes) is point 9 at x = 465, slot 2
        // (30 %, 40 minutes) point 7 at x = 365, slot 1 empty between them.
        QVERIFY(paintedNear(chart, ratio, 465, 40, kRed));
        QVERIFY(paintedNear(chart, ratio, 365, 80, kRed));
        QVERIFY(paintedNear(chart, ratio, 415, 110, kRed));
        QVERIFY(paintedNear(chart, ratio, 390, 95, kRed));     // on the way down to zero
        QVERIFY(paintedNear(chart, ratio, 65, 110, kRed));     // point 1, empty
        QVERIFY(paintedNear(chart, ratio, 465, 85, kYellow));  // 10 of 20 minutes: 25
        QVERIFY(paintedNear(chart, ratio, 365, 10, kYellow));  // 40 of 20: the top
        QVERIFY(paintedNear(chart, ratio, 440, 97, kYellow));  // from zero up to 25
        QVERIFY(paintedNear(chart, ratio, 440, 75, kRed));     // from zero up to 70
        // The new exam at x = 515: 50 % and 15 of 20 minutes (37.5, to 38).
        // A ring of radius 4 around a dot, black between them.
        QVERIFY(paintedNear(chart, ratio, 515, 60, kRed, 0));
        QVERIFY(paintedNear(chart, ratio, 519, 60, kRed, 0));
        QVERIFY(!paintedNear(chart, ratio, 518, 60, kRed, 0));
        QVERIFY(!paintedNear(chart, ratio, 515, 57, kRed, 0));
        QVERIFY(paintedNear(chart, ratio, 515, 72, kYellow, 0));
        QVERIFY(paintedNear(chart, ratio, 515, 68, kYellow, 1));
        QVERIFY(!paintedNear(chart, ratio, 515, 69, kYellow, 0));
        // Scales: red percent on the left, yellow minutes (twice the
        // limit at the top) on the right; labels in silver.
        QVERIFY(paintedNear(chart, ratio, 34, 106, kRed, 5));
        QVERIFY(paintedNear(chart, ratio, 30, 16, kRed, 5));
        QVERIFY(paintedNear(chart, ratio, 552, 16, kYellow, 5));
        QVERIFY(paintedNear(chart, ratio, 552, 106, kYellow, 5));
        QVERIFY(paintedNear(chart, ratio, 60, 118, kSilver, 5));
        QVERIFY(paintedNear(chart, ratio, 510, 132, kSilver, 5));

        if (ratio > 1) {
            // Painted at the device's resolution, not a small picture
            // blown up: some 2 × 2 blocks of device pixels are not one
            // colour.
            int mixed = 0;
            for (int y = 0; y + 1 < chart.height(); y += 2) {
                for (int x = 0; x + 1 < chart.width(); x += 2) {
                    const QRgb c = chart.pixel(x, y);
                    if (chart.pixel(x + 1, y) != c || chart.pixel(x, y + 1) != c ||
                        chart.pixel(x + 1, y + 1) != c) {
                        ++mixed;
                    }
                }
            }
            QVERIFY2(mixed > 100, qPrintable(QString::number(mixed)));
        }
        result->hide();
    }

    // The print button writes the page after its template and both charts
    // in both formats, opens the page, and leaves the history alone.
    void printButtonWritesAndOpensTheReport() {
        ExamRig rig;
        installPrintFolder(rig);
        QVERIFY(rig.start().ok());
        rig.session->profile.name = "山田 <花子>";
        TResultForm* result = showGradedExam(rig);
        QVERIFY(result != nullptr);
        const std::string hisPath = rig.session->course()->HisPath;
        const QByteArray hisBefore = fileBytes(QString::fromStdString(hisPath));

        auto* button = result->control<ImageButton>(QStringLiteral("Button8"));
        QVERIFY(button->isVisible());
        QCOMPARE(button->toolTip(), QStringLiteral("模擬試験成績表をブラウザで表示します"));
        QVERIFY(!button->accessibleName().isEmpty());
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());

        const QString print = rig.path(QStringLiteral("bin/Print/"));
        QCOMPARE(rig.shell.opened, std::vector<std::string>{(print + "Print.htm").toStdString()});
        QVERIFY(rig.messages.shown.empty());
        const QString page = QString::fromStdString(tovalo::text::cp932ToUtf8(
            fileBytes(print + QStringLiteral("Print.htm")).toStdString()));
        QVERIFY2(page.startsWith(QStringLiteral("<html>\r\n")), qPrintable(page.left(200)));
        for (const QString& line : {
                 QStringLiteral("<body>\r\n"),
                 QStringLiteral("<h4><small>■氏名：</small>山田 &lt;花子&gt;</h4>\r\n"),
                 QStringLiteral("<h4><small>■科目：</small>KCL-110\r\nクラウド入門</h4>\r\n"),
                 QStringLiteral("<h4><small>■正答率：</small>50％</h4>\r\n"),
                 QStringLiteral("<h4><small>■問題数：</small>12問</h4>\r\n"),
                 QStringLiteral("<h4><small>■実施日時：</small>2026/7/31 9:5</h4>\r\n"),
                 QStringLiteral("<h4><small>■所要時間：</small>15' 7</h4>\r\n"),
                 // (70 + 30 + 50) div 3 over the filled slots.
                 QStringLiteral("<tr><td></td>\r\n<td><img src=\"red.gif\" width=200 height=30>"
                                "<img src=\"black.gif\" width=200 height=30></td></tr>\r\n"),
                 QStringLiteral("最高正答率は70％です。"),
                 QStringLiteral("<img src=\"SEISEKI.png\">\r\n"),
                 QStringLiteral("<img src=\"TIME.png\">\r\n<hr>\r\n</body>\r\n</html>\r\n"),
             }) {
            QVERIFY2(page.contains(line), qPrintable(line + QStringLiteral("\n") + page));
        }
        QVERIFY(page.endsWith(QStringLiteral("</html>\r\n")));
        QCOMPARE(page.count(QStringLiteral("\r\n")), page.count(QLatin1Char('\n')));

        // Each PNG shows exactly the pixels of its X bitmap.
        for (const char* name : {"SEISEKI", "TIME"}) {
            const QImage png(print + QLatin1String(name) + QStringLiteral(".png"));
            QCOMPARE(png.size(), QSize(608, 140));
            const QByteArray xbm = fileBytes(print + QLatin1String(name) + QStringLiteral(".xbm"));
            QVERIFY(xbm.startsWith("#define TEST_width 608\r\n#define TEST_height 140\r\n"));
            const auto bits = xbmPixels(xbm, 608, 140);
            QCOMPARE(bits.size(), std::size_t{140});
            int ink = 0;
            for (int y = 0; y < 140; ++y) {
                for (int x = 0; x < 608; ++x) {
                    const bool black = qGray(png.pixel(x, y)) < 128;
                    QCOMPARE(black, static_cast<bool>(bits[y][x]));
                    ink += black ? 1 : 0;
                }
            }
            QVERIFY(ink > 1500);
        }
        const QImage rate(print + QStringLiteral("SEISEKI.png"));
        const QImage time(print + QStringLiteral("TIME.png"));
        QVERIFY(rate != time);
        QCOMPARE(qGray(rate.pixel(515, 60)), 255);  // the ring's centre at 50 %
        QCOMPARE(qGray(rate.pixel(511, 60)), 0);
        QCOMPARE(qGray(time.pixel(511, 72)), 0);  // 15 of 20 minutes
        QCOMPARE(fileBytes(QString::fromStdString(hisPath)), hisBefore);

        // Without its template the report stops with the file named and
        // nothing is opened.
        QVERIFY(QFile::remove(print + QStringLiteral("PrintProto")));
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        QCOMPARE(rig.shell.opened.size(), std::size_t{1});
        QCOMPARE(rig.messages.shown.size(), std::size_t{1});
        QVERIFY2(QString::fromStdString(rig.messages.shown[0].text).contains(u"PrintProto"),
                 rig.messages.shown[0].text.c_str());

        // Leaving still stores the exam, once.
        result->control<ImageButton>(QStringLiteral("Button3"))->click();
        QCOMPARE(tovalo::readHistoryFile(hisPath).value().exams[0].Rate, 50);
        QCOMPARE(tovalo::readHistoryFile(hisPath).value().exams[1].Rate, 70);
    }

    // A picture larger than one stored deflate block reads back whole, so
    // a larger chart would not need another writer.
    void pngOfSeveralBlocksReadsBack() {
        tovalo::MonoCanvas canvas(4000, 150);
        canvas.line(0, 149, 3999, 0);
        canvas.rectangle(0, 0, 3999, 149);
        canvas.text(1000, 70, "12/31 23:59 100%");
        QImage png;
        QVERIFY(png.loadFromData(QByteArray::fromStdString(tovalo::pngBytes(canvas)), "PNG"));
        QCOMPARE(png.size(), QSize(4000, 150));
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 4000; ++x) {
                if ((qGray(png.pixel(x, y)) < 128) != canvas.ink(x, y)) {
                    QFAIL(qPrintable(QStringLiteral("pixel %1, %2").arg(x).arg(y)));
                }
            }
        }
    }

    // The button is reached from the keyboard.
    void printButtonFromTheKeyboard() {
        ExamRig rig;
        installPrintFolder(rig);
        QVERIFY(rig.start().ok());
        TResultForm* result = showGradedExam(rig);
        QVERIFY(result != nullptr);
        auto* button = result->control<ImageButton>(QStringLiteral("Button8"));
        QVERIFY(button->focusPolicy() & Qt::TabFocus);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        QCOMPARE(rig.shell.opened.size(), std::size_t{1});
        result->hide();
    }
};

QTEST_MAIN(TestResultPrint)
#include "tst_result_print.moc"
