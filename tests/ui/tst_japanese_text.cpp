// Japanese where Qt and the page engine would otherwise bring their own
// defaults: the standard buttons of question boxes, and the face of Latin
// letters in pages.

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "core/exam/exam_screen.h"
#include "core/exam/page_writer.h"
#include "exam_rig.h"
#include "platform/qt_message_boxes.h"
#include "ui/exam/TExamModeForm.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/web/web_page_view.h"

namespace {

// A button's text as the learner reads it: without the mnemonic, which the
// Japanese translations append as "(&Y)".
QString shownText(const QAbstractButton* button) {
    QString text = button->text();
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
    text.remove(QLatin1Char('&'));
    return text;
}

// The columns of `image` between the first and the last one holding ink
// (a dark pixel) within the rows [top, bottom).
int inkWidth(const QImage& image, int top, int bottom) {
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y) {
            if (qGray(image.pixel(x, y)) < 128) {
                if (first < 0) {
                    first = x;
                }
                last = x;
                break;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

// The ink width of `text` set with QPainter in `family` at `pixelSize`.
int paintedWidth(const QString& family, const QString& text, int pixelSize) {
    QImage image(1200, pixelSize * 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont font(family);
    font.setPixelSize(pixelSize);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPointF(10, pixelSize * 1.5), text);
    p.end();
    return inkWidth(image, 0, image.height());
}

const QString kLatin = QStringLiteral("Hamburgefonstiv Quiz");
constexpr int kPixels = 40;

}  // namespace

class JapaneseText : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { tovalo::ui::prepareApplication(*qobject_cast<QApplication*>(qApp)); }

    void standardButtonsSpeakJapanese() {
        QMessageBox question(QMessageBox::Question, QStringLiteral("確認"), QStringLiteral("?"),
                             QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(shownText(question.button(QMessageBox::Yes)), QStringLiteral("はい"));
        QCOMPARE(shownText(question.button(QMessageBox::No)), QStringLiteral("いいえ"));
        QMessageBox notice(QMessageBox::Information, QStringLiteral("通知"), QStringLiteral("!"),
                           QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(shownText(notice.button(QMessageBox::Ok)), QStringLiteral("OK"));
        QCOMPARE(shownText(notice.button(QMessageBox::Cancel)), QStringLiteral("キャンセル"));
    }

    // Closing the exam window asks whether to end the test, in the real box.
    void closeQuestionAnswersInJapanese() {
        tovalo::platform::QtMessageBoxes boxes;
        ExamRig rig;
        rig.desktopBoxes = &boxes;
        QVERIFY(rig.start().ok());
        rig.drawExam("nexa", "NXN-101", 10, 30);
        rig.screens->GenericMBForm->startExam();
        QTest::keyClick(rig.screens->GenericMBForm, Qt::Key_Space);
        tovalo::ui::TExamModeForm* exam = rig.screens->ExamModeForm;
        QVERIFY(QTest::qWaitForWindowExposed(exam));

        QString asked;
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            asked = box->text();
            for (QAbstractButton* b : box->buttons()) {
                buttons << shownText(b);
            }
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        });
        exam->close();

        QCOMPARE(asked, QString::fromUtf8(tovalo::kCloseExamQuestion));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("いいえ"), QStringLiteral("はい")}));
        // いいえ keeps the exam going.
        QVERIFY(exam->isVisible());
        exam->hide();
    }

    // A page that names no face, or only the generic serif one, sets Latin
    // letters in the Gothic face, as a generated page does by name.
    void pagesSetLatinInGothic() {
        QString reason;
        if (!tovalo::ui::WebPageView::engineAvailable(&reason)) {
            QFAIL(qPrintable(reason));
        }
        const int gothic = paintedWidth(QStringLiteral("IPAPGothic"), kLatin, kPixels);
        const int serif = paintedWidth(QStringLiteral("DejaVu Serif"), kLatin, kPixels);
        // The comparison means something only when the faces differ clearly.
        QVERIFY2(std::abs(gothic - serif) > 20,
                 qPrintable(QStringLiteral("%1 / %2").arg(gothic).arg(serif)));

        QTemporaryDir dir;
        const QString line = QStringLiteral("<p style=\"margin:0;height:%1px;font-size:%2px%3\">") +
                             kLatin + QStringLiteral("</p>");
        const QString html =
            QStringLiteral("<html><body style=\"margin:0;background:#fff;color:#000\">") +
            line.arg(kPixels * 2).arg(kPixels).arg(QString()) +
            line.arg(kPixels * 2).arg(kPixels).arg(QStringLiteral(";font-family:serif")) +
            QStringLiteral("</body></html>");
        const QString plain = dir.filePath(QStringLiteral("plain.html"));
        QFile file(plain);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(html.toUtf8());
        file.close();
        // And a page as the exam screen writes it, in Shift_JIS.
        const QString written = dir.filePath(QStringLiteral("exam.htm"));
        QVERIFY(tovalo::WritePage("<INCLUDE IMG>\r\n<div style=\"font-size:40px\">" +
                                      kLatin.toStdString() + "</div>",
                                  written.toStdString(), tovalo::PageMode::DropFirstLine)
                    .ok());

        // The ink width of each line of `page` once the engine has painted it
        // (a moment after the page reports it is loaded), in a view of its
        // own so that nothing of another page is left on screen.
        std::vector<int> found;
        const auto measure = [&](const QString& page, int lines) {
            tovalo::ui::WebPageView view;
            view.resize(1000, kPixels * 4 + 20);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            view.showPage(page);
            QTRY_VERIFY_WITH_TIMEOUT(view.pagesLoaded() > 0, 15000);
            const auto inked = [&] {
                const QImage shot = view.grab().toImage();
                found.clear();
                for (int i = 0; i < lines; ++i) {
                    found.push_back(inkWidth(shot, i * kPixels * 2, (i + 1) * kPixels * 2));
                }
                return std::all_of(found.begin(), found.end(), [](int w) { return w > 0; });
            };
            QTRY_VERIFY_WITH_TIMEOUT(inked(), 10000);
        };
        const auto checkGothic = [&] {
            for (int w : found) {
                QVERIFY2(std::abs(w - gothic) <= 3,
                         qPrintable(QStringLiteral("page %1, IPAPGothic %2, serif %3")
                                        .arg(w)
                                        .arg(gothic)
                                        .arg(serif)));
            }
        };
        for (const auto& [page, lines] : {std::pair{plain, 2}, std::pair{written, 1}}) {
            measure(page, lines);
            if (!QTest::currentTestFailed()) {
                checkGothic();
            }
            if (QTest::currentTestFailed()) {
                return;
            }
        }
    }
};

QTEST_MAIN(JapaneseText)
#include "tst_japanese_text.moc"
