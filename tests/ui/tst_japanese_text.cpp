// Japanese where Qt and the page engine would otherwise bring their own
// defaults: the standard buttons of question boxes, and the face of text
// in pages.

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
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
// Small and long kana, which the proportional face sets narrower and wider
// than the fixed-pitch one.
const QString kKana = QStringLiteral("ィッャュョーシリトルミム");
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

    // Pages name no face: the page view chooses it. Latin letters and kana
    // come out in IPA P Gothic, in a page that names only the generic serif
    // family and in the pages the program writes, in each of their modes.
    void pagesSetTextInProportionalGothic() {
        QString reason;
        if (!tovalo::ui::WebPageView::engineAvailable(&reason)) {
            QFAIL(qPrintable(reason));
        }
        // The comparisons mean something only when the faces differ clearly:
        // Latin from a serif face, kana from the fixed-pitch Gothic.
        const int latin = paintedWidth(QStringLiteral("IPAPGothic"), kLatin, kPixels);
        const int serif = paintedWidth(QStringLiteral("DejaVu Serif"), kLatin, kPixels);
        const int kana = paintedWidth(QStringLiteral("IPAPGothic"), kKana, kPixels);
        const int fixedKana = paintedWidth(QStringLiteral("IPAGothic"), kKana, kPixels);
        QVERIFY2(
            std::abs(latin - serif) > 20 && std::abs(kana - fixedKana) > 20,
            qPrintable(
                QStringLiteral("%1 / %2, %3 / %4").arg(latin).arg(serif).arg(kana).arg(fixedKana)));

        QTemporaryDir dir;
        const QString row = QStringLiteral(
            "<div style=\"height:%1px;font-size:%2px;white-space:nowrap%3\">%4</div>");
        const auto rows = [&](const QString& style) {
            return row.arg(kPixels * 2).arg(kPixels).arg(style).arg(kLatin) +
                   row.arg(kPixels * 2).arg(kPixels).arg(style).arg(kKana);
        };
        const QString plain = dir.filePath(QStringLiteral("plain.html"));
        QFile file(plain);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write((QStringLiteral("<html><head><meta charset=\"utf-8\"></head>"
                                   "<body style=\"margin:0;background:#fff;color:#000\">") +
                    rows(QStringLiteral(";font-family:serif")) + QStringLiteral("</body></html>"))
                       .toUtf8());
        file.close();
        std::vector<QString> pages{plain};
        // As the exam, answer, case study and result screens write them, in
        // Shift_JIS; mode 0 drops the fragment's first line.
        for (const auto& [name, mode] : {std::pair{"exam.htm", tovalo::PageMode::DropFirstLine},
                                         std::pair{"casestudy.htm", tovalo::PageMode::Whole},
                                         std::pair{"result.htm", tovalo::PageMode::Styled}}) {
            pages.push_back(dir.filePath(QString::fromLatin1(name)));
            const std::string dropped = mode == tovalo::PageMode::DropFirstLine ? "図\r\n" : "";
            QVERIFY(tovalo::WritePage(dropped + rows(QString()).toStdString(),
                                      pages.back().toStdString(), mode)
                        .ok());
        }

        for (const QString& page : pages) {
            // In a view of its own, so that nothing of another page is left
            // on screen; painted a moment after it reports it is loaded.
            tovalo::ui::WebPageView view;
            view.resize(1000, kPixels * 4 + 20);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            view.showPage(page);
            QTRY_VERIFY_WITH_TIMEOUT(view.pagesLoaded() > 0, 15000);
            int found[2] = {};
            const auto inked = [&] {
                const QImage shot = view.grab().toImage();
                for (int i = 0; i < 2; ++i) {
                    found[i] = inkWidth(shot, i * kPixels * 2, (i + 1) * kPixels * 2);
                }
                return found[0] > 0 && found[1] > 0;
            };
            QTRY_VERIFY_WITH_TIMEOUT(inked(), 10000);
            QVERIFY2(std::abs(found[0] - latin) <= 3 && std::abs(found[1] - kana) <= 3,
                     qPrintable(QStringLiteral("%1: Latin %2 (IPAPGothic %3, serif %4), "
                                               "kana %5 (IPAPGothic %6, IPAGothic %7)")
                                    .arg(QFileInfo(page).fileName())
                                    .arg(found[0])
                                    .arg(latin)
                                    .arg(serif)
                                    .arg(found[1])
                                    .arg(kana)
                                    .arg(fixedKana)));
        }
    }
};

QTEST_MAIN(JapaneseText)
#include "tst_japanese_text.moc"
