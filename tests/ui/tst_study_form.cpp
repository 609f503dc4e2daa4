// The advisor on copies of the staged sample installation, opened from the
// course menu's button: the bars, crowns and adaptive marks as painted, a
// course's categories, the wheel, the two pages on disk, the keyboard and
// the ways back to the menu.

#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include "core/questions/qdf_builder.h"
#include "core/results/advisor.h"
#include "core/results/history_file.h"
#include "core/text/cp932.h"
#include "exam_rig.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/results/TStudyForm.h"
#include "ui/widgets/image_button.h"

using tovalo::HistoryFile;
using tovalo::ui::ImageButton;
using tovalo::ui::TStudyForm;

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// A course of `categories` categories named "分野 1", "分野 2", …, pass mark 70,
// stored under a file name that is not its code.
std::string extraCourse(const std::string& code, int categories) {
    QdfBuilder q;
    q.plain("QFileFormat-v1.4").plain("30/70").plain("45").plain(code).plain("追加コース");
    q.plain("1").plain("0").plain("0").plain("20261201").plain("1");
    for (int c = 1; c <= categories; ++c) {
        q.category("分野 " + std::to_string(c), {"小"});
    }
    QdfBuilder::Record r;
    q.plain("*CE").record(r);
    return q.stored();
}

bool isRed(QRgb c) {
    return qRed(c) > 230 && qGreen(c) < 30 && qBlue(c) < 30;
}
// Red text, smoothed at its edges.
bool isReddish(QRgb c) {
    return qRed(c) > 120 && qGreen(c) < qRed(c) / 3 && qBlue(c) < qRed(c) / 3;
}
bool isSilver(QRgb c) {
    return qRed(c) == 192 && qGreen(c) == 192 && qBlue(c) == 192;
}
bool isYellow(QRgb c) {
    return qRed(c) > 230 && qGreen(c) > 230 && qBlue(c) < 30;
}
bool isGold(QRgb c) {
    return qRed(c) > 200 && qGreen(c) > 120 && qGreen(c) < 245 && qBlue(c) < 130;
}
bool isBlack(QRgb c) {
    return qRed(c) < 10 && qGreen(c) < 10 && qBlue(c) < 10;
}

// A wheel event where the pointer is. Made here rather than by the window
// system, it is not handed on to parents: tests send it to the widget that
// takes it (a box's viewport, or the window under a label).
void wheel(QWidget* target, int notches, QPointF at = {}) {
    if (at.isNull()) {
        at = QPointF(target->width() / 2.0, target->height() / 2.0);
    }
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

void click(QWidget* w, QPoint at = {}) {
    QTest::mouseClick(w, Qt::LeftButton, {}, at.isNull() ? w->rect().center() : at);
}

}  // namespace

class TestStudyForm : public QObject {
    Q_OBJECT

  private:
    // The kumo vendor (choice labels "a"): its two sample courses and a
    // third, KXX-300 of 30 categories, stored as "kumo-extra.qdf". The
    // second course has an adaptive file; the third a mean of 70 and a best
    // of 85.
    struct Advisor {
        ExamRig rig;
        TStudyForm* form = nullptr;
        tovalo::ui::TCourseMenuForm* menu = nullptr;

        explicit Advisor(const std::string& vendor = "kumo", int extraCategories = 30) {
            const QDir stage(QStringLiteral(TOVALO_STAGE_ROOT "/bin"));
            QDir bin(rig.path(QStringLiteral("bin")));
            bin.mkpath(QStringLiteral("Print"));
            for (const char* f : {"FormProto", "Print/PrintProto", "Print/red.gif",
                                  "Print/black.gif", "Print/print_scale.gif"}) {
                QFile::copy(stage.filePath(QLatin1String(f)), bin.filePath(QLatin1String(f)));
            }
            writeBytes("QDAT/kumo/kumo-extra.qdf", extraCourse("KXX-300", extraCategories));
            HistoryFile extra;
            extra.AverageRate = 70;
            extra.BestRate = 85;
            extra.exams[0] = {14, 7, 3, 9, 5, 75, 2, 40};
            for (int c = 0; c < extraCategories; ++c) {
                extra.categories[c].CategoryAverage = std::min(5 * (c + 1), 100);
                extra.categories[c].CategoryBest = 5 * (c + 1) + 10;
            }
            QVERIFY(tovalo::saveHistoryFile(rig.root() + "/HIST/kumo/kumo-extra.HIS", extra).ok());
            writeBytes("HIST/kumo/KSE-100.ADP", "1,1,1,30\r\n");
            QVERIFY(rig.start({vendor}).ok());
            rig.session->profile.name = "山田 <太郎> & \"co\"";
            rig.session->profile.serial = "SER-1";
            form = rig.screens->StudyForm;
            menu = rig.screens->CourseMenuForm;
            menu->show();
            QVERIFY(QTest::qWaitForWindowExposed(menu));
        }

        void writeBytes(const char* relative, const std::string& bytes) {
            QFile f(rig.path(QLatin1String(relative)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        }

        // The menu's 実力診断 button, clicked.
        void open() {
            click(menu->control<ImageButton>(QStringLiteral("DiagnosisButton")));
            QVERIFY(form->isVisible());
            QVERIFY(QTest::qWaitForWindowExposed(form));
        }

        template <class W = QWidget>
        W* control(const char* name) const {
            W* w = form->control<W>(QLatin1String(name));
            if (w == nullptr) {
                qFatal("no control %s", name);
            }
            return w;
        }

        // Clicks the name of course `row` and lets the title slide home.
        void openCourse(int row) {
            click(control("LabelImage"), QPoint(40, 24 * row - 8));
            QCOMPARE(form->openedCourse(), row);
            for (int tick = 0; tick < 200 && !form->detailShown(); ++tick) {
                form->Timer1Timer();
            }
            QVERIFY(form->detailShown());
        }

        QImage picture(const char* name) const { return control(name)->grab().toImage(); }
    };

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    // The button takes the menu's place; every way out gives it back.
    void opensInTheMenusPlaceAndEveryWayLeadsBack() {
        Advisor a;
        // Larger than the design, and inside the 800 × 600 test screen,
        // where a larger place would be cut down to the screen.
        a.menu->setGeometry(10, 10, 770, 570);
        QTest::qWait(0);
        const QRect place = a.menu->geometry();
        for (int way = 0; way < 3; ++way) {
            a.open();
            QVERIFY(!a.menu->isVisible());
            QCOMPARE(a.form->windowTitle(), QStringLiteral("アドバイザーの診断"));
            QCOMPARE(a.control<QLabel>("Label3")->text(), QStringLiteral("アドバイザーの診断"));
            QCOMPARE(a.form->geometry().size(), place.size());
            QCOMPARE(a.form->windowModality(), Qt::NonModal);
            switch (way) {
                case 0:
                    click(a.control("Button2"));
                    break;
                case 1:
                    QTest::keyClick(a.form->windowHandle(), Qt::Key_Escape);
                    break;
                default:
                    QVERIFY(a.form->windowHandle()->close());
            }
            QVERIFY(!a.form->isVisible());
            QVERIFY(a.menu->isVisible());
        }
        QCOMPARE(a.rig.endRequests, 0);
        QVERIFY(a.rig.messages.shown.empty());
        QCOMPARE(a.control<QWidget>("Memo1")->property("text").toString().split('\n').size(), 19);
    }

    // A mean of 70 and a best of 85: 210 pixels of red, silver on to 300,
    // "(85%)" after it and, for labels "a", the crown's left edge at 189.
    void barsCrownsAndMarksAsPainted() {
        Advisor a;
        a.open();
        QCOMPARE(a.form->courses().size(), std::size_t(3));
        QCOMPARE(a.form->courses()[2].ExamCode, std::string("KXX-300"));
        const QImage bars = a.picture("Image0");
        const int y = 72 - 8;  // the middle of the third bar
        QVERIFY(isRed(bars.pixel(0, y)));
        QVERIFY(isRed(bars.pixel(209, y)));
        QVERIFY(isSilver(bars.pixel(210, y)));
        QVERIFY(isSilver(bars.pixel(299, y)));
        QVERIFY(!isSilver(bars.pixel(300, y)));
        QVERIFY(isBlack(bars.pixel(150, 72 + 2)));  // the gap below the bar
        // The first course has no exam yet: all silver.
        QVERIFY(isSilver(bars.pixel(0, 24 - 8)));
        // "(85%)" is written in red right of the bar.
        int redText = 0;
        for (int x = 300; x < bars.width(); ++x) {
            for (int yy = 72 - 13; yy < 72; ++yy) {
                redText += isReddish(bars.pixel(x, yy)) ? 1 : 0;
            }
        }
        QVERIFY(redText > 20);
        // A crown over each bar at its pass mark (65, 60 and 70), none elsewhere.
        const QRect crowns[] = {
            {3 * 65 - 21, 0, 18, 9}, {3 * 60 - 21, 24, 18, 9}, {189, 48, 18, 9}};
        int gold[3] = {0, 0, 0};
        for (int yy = 0; yy < bars.height(); ++yy) {
            for (int x = 0; x < bars.width(); ++x) {
                if (!isGold(bars.pixel(x, yy))) {
                    continue;
                }
                int in = -1;
                for (int k = 0; k < 3; ++k) {
                    in = crowns[k].contains(x, yy) ? k : in;
                }
                QVERIFY2(in >= 0, qPrintable(QStringLiteral("%1,%2").arg(x).arg(yy)));
                ++gold[in];
            }
        }
        for (int n : gold) {
            QVERIFY(n > 30);
        }

        // The adaptive mark beside the second course only.
        const QImage names = a.picture("LabelImage");
        const auto markPixels = [&names](int row) {
            int n = 0;
            for (int yy = 24 * row - 13; yy < 24 * row - 3; ++yy) {
                for (int x = 2; x < 15; ++x) {  // the focus mark's dots run down column 0
                    n += isBlack(names.pixel(x, yy)) ? 0 : 1;
                }
            }
            return n;
        };
        QCOMPARE(markPixels(1), 0);
        QVERIFY(markPixels(2) > 50);
        QCOMPARE(markPixels(3), 0);
    }

    void labelsInCapitalsGetNoCrowns() {
        Advisor a("nexa");
        a.rig.session->catalog.courses.at(0).PassMark = "70";
        HistoryFile h;
        h.AverageRate = 80;
        QVERIFY(tovalo::saveHistoryFile(a.rig.session->catalog.courses.at(0).HisPath, h).ok());
        a.open();
        const QImage bars = a.picture("Image0");
        QVERIFY(isRed(bars.pixel(0, 16)));
        for (int yy = 0; yy < bars.height(); ++yy) {
            for (int x = 0; x < bars.width(); ++x) {
                QVERIFY(!isGold(bars.pixel(x, yy)));
            }
        }
    }

    // A click on a mark asks for that course's adaptive list; after the
    // list deleted the file, a refresh takes the mark away.
    void marksOpenTheAdaptiveListUntilTheFileIsGone() {
        Advisor a;
        a.open();
        QSignalSpy asked(a.form, &TStudyForm::adaptiveListRequested);
        click(a.control("LabelImage"), QPoint(6, 48 - 8));
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.at(0).at(0).toInt(), 2);
        QCOMPARE(a.form->openedCourse(), 0);

        QVERIFY(QFile::remove(a.rig.path(QStringLiteral("HIST/kumo/KSE-100.ADP"))));
        a.form->refresh();
        QVERIFY(!a.form->courses()[1].HasAdaptive);
        const QImage names = a.picture("LabelImage");
        for (int x = 2; x < 15; ++x) {  // the focus mark's dots run down column 0
            QVERIFY(isBlack(names.pixel(x, 48 - 8)));
        }
        // Left of a name without a mark, the click opens the course instead.
        click(a.control("LabelImage"), QPoint(6, 48 - 8));
        QCOMPARE(asked.count(), 1);
        QCOMPARE(a.form->openedCourse(), 2);
    }

    // The title slides from the row up to the top, then the categories show;
    // Button1 leads back to the list.
    void aCourseOpensWithItsCategoriesAndComesBack() {
        Advisor a;
        a.open();
        auto* list = a.control<QScrollArea>("ScrollBox1");
        auto* detail = a.control<QScrollArea>("ScrollBox2");
        QLabel* title = a.control<QLabel>("Label1");
        click(a.control("LabelImage"), QPoint(60, 72 - 8));
        QCOMPARE(a.form->openedCourse(), 3);
        QCOMPARE(title->text(), QStringLiteral("KXX-300 : 追加コース"));
        QVERIFY(title->isVisible());
        QVERIFY(a.control("Shape1")->isVisible());
        int top = title->y();
        QVERIFY(top > 50);
        // A second click while the title moves changes nothing.
        click(a.control("LabelImage"), QPoint(60, 24 - 8));
        QCOMPARE(a.form->openedCourse(), 3);
        while (!a.form->detailShown()) {
            a.form->Timer1Timer();
            QCOMPARE(title->y(), std::max(top - 5, 50));
            top = title->y();
        }
        QCOMPARE(title->y(), 50);
        QVERIFY(!list->isVisible());
        QVERIFY(detail->isVisible());
        QVERIFY(a.control("Button1")->isVisible());

        // Category 1: mean 5, best 15; category 12: mean 60 (of 30 categories).
        const QImage cats = a.picture("Image1");
        QVERIFY(isYellow(cats.pixel(310, 10)));
        QVERIFY(isYellow(cats.pixel(319, 10)));
        QVERIFY(isSilver(cats.pixel(320, 10)));
        QVERIFY(isSilver(cats.pixel(509, 10)));
        QVERIFY(isYellow(cats.pixel(310 + 119, 240 - 10)));
        QVERIFY(isSilver(cats.pixel(310 + 120, 240 - 10)));
        // Thirty categories do not fit: the box scrolls, five positions a notch.
        QScrollBar* bar = detail->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        wheel(detail->viewport(), -1);
        QCOMPARE(bar->value(), 5 * bar->singleStep());
        QVERIFY(bar->singleStep() > 0);
        // Over the caption, the window takes the wheel and scrolls the box too.
        wheel(a.form, 1, a.control("Label3")->geometry().center());
        QCOMPARE(bar->value(), 0);

        click(a.control("Button1"));
        QVERIFY(!a.form->detailShown());
        QVERIFY(list->isVisible());
        QVERIFY(!detail->isVisible());
        QVERIFY(!title->isVisible());
        QVERIFY(!a.control("Button1")->isVisible());

        // A course of few categories shows them without a scroll bar.
        a.openCourse(1);
        QCOMPARE(detail->verticalScrollBar()->maximum(), 0);
        // Leaving from the detail and coming back shows the list.
        click(a.control("Button2"));
        a.open();
        QVERIFY(!a.form->detailShown());
        QVERIFY(list->isVisible());
    }

    void theWheelScrollsTheList() {
        Advisor a;
        for (int i = 0; i < 30; ++i) {
            a.writeBytes(
                qPrintable(QStringLiteral("QDAT/kumo/more-%1.qdf").arg(i, 2, 10, QLatin1Char('0'))),
                extraCourse("KMR-" + std::to_string(100 + i), 2));
        }
        a.menu->hide();
        a.menu->show();  // lists the vendor's courses again
        a.open();
        QCOMPARE(a.form->courses().size(), std::size_t(33));
        QScrollBar* bar = a.control<QScrollArea>("ScrollBox1")->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        wheel(a.control<QScrollArea>("ScrollBox1")->viewport(), -2);
        QCOMPARE(bar->value(), 10 * bar->singleStep());
        wheel(a.control<QScrollArea>("ScrollBox1")->viewport(), 1);
        QCOMPARE(bar->value(), 5 * bar->singleStep());
        // A click on a scrolled list opens the course under the pointer.
        click(a.control("LabelImage"), QPoint(40, 24 * 10 - 8));
        QCOMPARE(a.form->openedCourse(), 10);
    }

    // Both pages as the shell was asked to open them, read back from disk.
    void writesTheSummaryAndTheDiagnosisRequest() {
        Advisor a;
        a.open();
        const std::string bin = a.rig.bin();

        click(a.control("Button4"));
        QCOMPARE(a.rig.shell.opened, std::vector<std::string>{bin + "Print/PrintSum.htm"});
        QFile summaryFile(qs(bin + "Print/PrintSum.htm"));
        QVERIFY(summaryFile.open(QIODevice::ReadOnly));
        const std::string summary = tovalo::text::cp932ToUtf8(summaryFile.readAll().toStdString());
        QVERIFY(summary.find("<title>Tovalo 模擬試験成績表</title>") != std::string::npos);
        QVERIFY(
            summary.find("<small>(氏名：</small>山田 &lt;太郎&gt; &amp; &quot;co&quot;)</h4>") !=
            std::string::npos);
        QVERIFY(summary.find("<h4>KXX-300 : 追加コース</h4>") != std::string::npos);
        QVERIFY(summary.find("<td><img src=\"red.gif\" width=280 height=30><img "
                             "src=\"black.gif\" width=120 height=30></td></tr>") !=
                std::string::npos);
        QVERIFY(summary.find("<small>分野 12</small>") != std::string::npos);

        click(a.control("Button3"));
        QCOMPARE(a.rig.shell.opened.size(), std::size_t(2));
        QCOMPARE(a.rig.shell.opened.back(), bin + "Form.htm");
        QFile formFile(qs(bin + "Form.htm"));
        QVERIFY(formFile.open(QIODevice::ReadOnly));
        const QString form = qs(tovalo::text::cp932ToUtf8(formFile.readAll().toStdString()));
        QCOMPARE(form.count(QStringLiteral("</OPTION><OPTION>\r\n")), 3);
        QCOMPARE(form.count(QStringLiteral("<input TYPE=\"HIDDEN\" NAME=\"")), 3);
        QVERIFY(form.contains(QStringLiteral("</OPTION><OPTION>\r\nKXX-300 : 追加コース\r\n")));
        QVERIFY(form.contains(QStringLiteral("<input TYPE=\"HIDDEN\" NAME=\"KXX-300\" value=\"")));
        QVERIFY(form.contains(QStringLiteral(
            "所要時間 :14分 モード :2 解いた問題数 :40問 テスト日時 :07月03日 09:05 正答率 :75%")));
        QVERIFY(form.contains(QStringLiteral("<form ACTION=\"http://localhost:8080/")));
        QVERIFY(form.contains(QStringLiteral("\r\n山田 &lt;太郎&gt; &amp; &quot;co&quot;\r\n")));
        QVERIFY(!form.contains(QStringLiteral("#FILE#")));
        QVERIFY(a.rig.messages.shown.empty());

        // Without its template a page is not made, and nothing is opened.
        QVERIFY(QFile::remove(qs(bin + "FormProto")));
        QVERIFY(QFile::remove(qs(bin + "Form.htm")));
        click(a.control("Button3"));
        QCOMPARE(a.rig.shell.opened.size(), std::size_t(2));
        QCOMPARE(a.rig.messages.shown.size(), std::size_t(1));
        QVERIFY(qs(a.rig.messages.shown[0].text).contains(QStringLiteral("FormProto")));
        QVERIFY(!QFile::exists(qs(bin + "Form.htm")));
    }

    // Every control from the keyboard, with a focus mark that shows.
    void worksFromTheKeyboard() {
        Advisor a;
        a.open();
        QWidget* names = a.control("LabelImage");
        QCOMPARE(QApplication::focusWidget(), names);
        const QImage focused = names->grab().toImage();
        QTest::keyClick(names, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), a.control("Button4"));
        QVERIFY(names->grab().toImage() != focused);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), a.control("Button3"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), a.control("Button2"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), names);
        for (const char* name : {"LabelImage", "Button2", "Button3", "Button4", "Button1",
                                 "ScrollBox2", "Memo1", "Image0"}) {
            QVERIFY2(!a.control(name)->accessibleName().isEmpty(), name);
        }

        // Space on a course with a mark asks for its list; Enter opens it.
        QSignalSpy asked(a.form, &TStudyForm::adaptiveListRequested);
        QTest::keyClick(names, Qt::Key_Down);
        QTest::keyClick(names, Qt::Key_Space);
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.at(0).at(0).toInt(), 2);
        QTest::keyClick(names, Qt::Key_Down);
        QTest::keyClick(names, Qt::Key_Return);
        QCOMPARE(a.form->openedCourse(), 3);
        while (!a.form->detailShown()) {
            a.form->Timer1Timer();
        }
        auto* detail = a.control<QScrollArea>("ScrollBox2");
        QCOMPARE(QApplication::focusWidget(), detail);
        QTest::keyClick(detail, Qt::Key_Down);
        QVERIFY(detail->verticalScrollBar()->value() > 0);
        QTest::keyClick(detail, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), a.control("Button1"));
        QTest::keyClick(a.control("Button1"), Qt::Key_Space);
        QVERIFY(!a.form->detailShown());
        QCOMPARE(QApplication::focusWidget(), names);

        QTest::keyClick(names, Qt::Key_Escape);
        QVERIFY(!a.form->isVisible());
        QVERIFY(a.menu->isVisible());
    }
};

QTEST_MAIN(TestStudyForm)
#include "tst_study_form.moc"
