// The adaptive list over a copy of the sample installation: opened for a
// course, read from its files, driven with real keys and clicks.

#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/text/cp932.h"
#include "exam_rig.h"
#include "ui/results/TAdaptiveForm.h"
#include "ui/widgets/image_button.h"

using tovalo::CourseEntry;
using tovalo::ui::ImageButton;
using tovalo::ui::TAdaptiveForm;
namespace fs = std::filesystem;

namespace {

// The window set over the sample installation, the vendor's catalog listed
// as the advisor lists it.
struct ListRig {
    explicit ListRig(const std::string& vendor, const std::function<void(ExamRig&)>& prepare = {}) {
        if (prepare) {
            prepare(rig);
        }
        const tovalo::Status started = rig.start();
        QVERIFY2(started.ok(), started.ok() ? "" : started.error().describe().c_str());
        tovalo::ui::Session& s = *rig.session;
        for (const tovalo::app::Vendor& v : s.vendors) {
            if (v.folder == vendor) {
                s.currentVendor = v.number;
            }
        }
        s.catalog =
            tovalo::buildCatalog(s.directories.questionDir(vendor),
                                 s.directories.historyDir(vendor), tovalo::emptyHistoryFiles(""));
        form = rig.screens->AdaptiveForm;
    }

    const CourseEntry& course(const std::string& code) const {
        for (const CourseEntry& c : rig.session->catalog.courses) {
            if (c.ExamCode == code) {
                return c;
            }
        }
        qFatal("no course %s", code.c_str());
    }

    template <class W>
    W* control(const char* name) const {
        W* w = form->control<W>(QLatin1String(name));
        if (w == nullptr) {
            qFatal("no control %s", name);
        }
        return w;
    }

    QStringList row(int r) const {
        auto* grid = control<QTableView>("SG");
        QStringList cells;
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            cells << grid->model()->index(r, c).data().toString();
        }
        return cells;
    }

    ExamRig rig;
    TAdaptiveForm* form = nullptr;
};

// A line as the exam stores it: CP932 with the markers.
std::string adpLine(const std::string& num, int major, int minor, const std::string& text,
                    int asked, int right, int mean) {
    return tovalo::text::utf8ToCp932("@0*" + num + "@1*" + std::to_string(major) + "@2*" +
                                     std::to_string(minor) + "@3*" + text + "@4*" +
                                     std::to_string(asked) + "@5*" + std::to_string(right) + "@6*" +
                                     std::to_string(mean) + "@7*\r\n");
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readBytes(const std::string& path) {
    std::stringstream ss;
    ss << std::ifstream(path, std::ios::binary).rdbuf();
    return ss.str();
}

QString accessibleName(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

}  // namespace

class TestAdaptiveForm : public QObject {
    Q_OBJECT

  private slots:
    // Three questions of the network course with mean times 40, 0 and 20:
    // each row names its categories as the question file has them, and the
    // mean leaves out the question that has no time yet.
    void listShowsEachLineWithItsCategoriesAndTotals() {
        ListRig r("nexa");
        const CourseEntry& course = r.course("NXN-101");
        writeBytes(course.AdpPath,
                   adpLine("1", 1, 1, "OSI参照モデルの層の数は？", 2, 1, 40) +
                       adpLine("12", 1, 2, "TCPの特徴を選べ。<br>二つ選べ。", 0, 0, 0) +
                       adpLine("30", 2, 1, "<!-- QS -->サブネットマスクとは<br>何か", 1, 1, 20));
        r.form->showFor(course);

        QVERIFY(r.form->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), r.form);
        QCOMPARE(r.form->windowTitle(), QStringLiteral("Tovalo Adaptive一覧表"));
        QCOMPARE(r.form->size(), QSize(760, 560));
        const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY((r.form->frameGeometry().center() - centre).manhattanLength() <= 1);
        QCOMPARE(r.control<QLabel>("Label1")->text(),
                 QStringLiteral("テスト名 : ネットワーク基礎"));

        auto* grid = r.control<QTableView>("SG");
        QStringList headings;
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            headings << grid->model()->headerData(c, Qt::Horizontal).toString();
        }
        QCOMPARE(headings, QStringList({"問題No", "大カテゴリ", "小カテゴリ", "問題文", "出題回数",
                                        "正解回数", "平均回答時間"}));
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(r.row(0), QStringList({"1", "ネットワークの基礎", "OSI参照モデル",
                                        "OSI参照モデルの層の数は？", "2", "1", "40"}));
        QCOMPARE(r.row(1), QStringList({"12", "ネットワークの基礎", "TCP/IPとプロトコル",
                                        "TCPの特徴を選べ。", "0", "0", "0"}));
        QCOMPARE(r.row(2).mid(3), QStringList({"サブネットマスクとは", "1", "1", "20"}));
        QCOMPARE(r.control<QLabel>("Label2")->text(),
                 QStringLiteral("出題数の合計 : 3 正解数の合計 : 2 平均回答時間 : 30"));

        // Cells as drawn: each column starts where the one before it ends
        // (its width with the grid line), rows 16 pixels apart, the first
        // row right under the headings.
        const int widths[] = {64, 78, 95, 288, 64, 64};
        int left = 0;
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(grid->visualRect(grid->model()->index(0, c)).left(), left);
            left += widths[c];
        }
        QCOMPARE(grid->visualRect(grid->model()->index(0, 6)).left(), left);
        QCOMPARE(grid->visualRect(grid->model()->index(1, 0)).top() -
                     grid->visualRect(grid->model()->index(0, 0)).top(),
                 16);
        QCOMPARE(grid->visualRect(grid->model()->index(0, 0)).top(), 0);
        QVERIFY(grid->horizontalHeader()->isVisible());
        QCOMPARE(grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);

        // The headings are painted on their dark band, the rows on white,
        // and the heading of the last column is not cut off.
        const QImage shot = r.form->grab().toImage();
        const QPoint gridAt = grid->mapTo(r.form, QPoint(0, 0));
        const QColor band = shot.pixelColor(gridAt + QPoint(30, 3));
        QVERIFY2(band.blue() > 100 && band.red() < 60, qPrintable(band.name()));
        const QRect lastRow = grid->visualRect(grid->model()->index(2, 0));
        const QColor below =
            shot.pixelColor(gridAt + grid->viewport()->pos() + QPoint(30, lastRow.bottom() + 30));
        QCOMPARE(below, QColor(Qt::white));
        const QFontMetrics headingMetrics(grid->horizontalHeader()->font());
        QVERIFY(grid->horizontalHeader()->sectionSize(6) >=
                headingMetrics.horizontalAdvance(QStringLiteral("平均回答時間")));
    }

    void keyboardReachesGridAndButtonsAndEscCloses() {
        ListRig r("nexa");
        const CourseEntry& course = r.course("NXN-101");
        writeBytes(course.AdpPath,
                   adpLine("1", 1, 1, "一問目", 1, 1, 10) + adpLine("2", 1, 1, "二問目", 1, 0, 12));
        r.form->showFor(course);
        QVERIFY(QTest::qWaitForWindowActive(r.form));
        auto* grid = r.control<QTableView>("SG");
        auto* remove = r.control<ImageButton>("Image1");
        auto* close = r.control<ImageButton>("Button1");

        QCOMPARE(accessibleName(grid), QStringLiteral("Adaptive一覧"));
        QCOMPARE(accessibleName(remove), QStringLiteral("Adaptive履歴を削除"));
        QCOMPARE(accessibleName(close), QStringLiteral("閉じる"));

        QCOMPARE(QApplication::focusWidget(), grid);
        QCOMPARE(grid->currentIndex().row(), 0);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->currentIndex().row(), 1);
        QTest::keyClick(grid, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), remove);
        QTest::keyClick(remove, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), close);
        QTest::keyClick(close, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), remove);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!r.form->isVisible());
        // Closed, the grid holds one empty row and nothing of the course.
        QCOMPARE(grid->model()->rowCount(), 1);
        QCOMPARE(r.row(0), QStringList(7, QString()));

        // Every showing reads the files again; Enter on the close button closes.
        writeBytes(course.AdpPath, adpLine("1", 1, 1, "一問目", 5, 4, 9));
        r.form->showFor(course);
        QCOMPARE(grid->model()->rowCount(), 1);
        QCOMPARE(r.row(0).mid(4), QStringList({"5", "4", "9"}));
        QTest::keyClick(grid, Qt::Key_Tab);
        QTest::keyClick(remove, Qt::Key_Tab);
        QTest::keyClick(close, Qt::Key_Return);
        QVERIFY(!r.form->isVisible());
        QVERIFY(fs::exists(course.AdpPath));
    }

    void deleteAsksThenRemovesOnlyTheAdaptiveFile() {
        ListRig r("nexa");
        const CourseEntry& course = r.course("NXN-101");
        const std::string stored = adpLine("1", 1, 1, "一問目", 3, 2, 15);
        writeBytes(course.AdpPath, stored);
        const std::string history = readBytes(course.HisPath);
        QSignalSpy deleted(r.form, &TAdaptiveForm::adaptiveDeleted);
        r.form->showFor(course);
        auto* remove = r.control<ImageButton>("Image1");

        // Answered No: the file stays as it was and the list stays open.
        r.rig.messages.answers = {false};
        QTest::mouseClick(remove, Qt::LeftButton, {}, remove->rect().center());
        QCOMPARE(r.rig.messages.shown.size(), std::size_t{1});
        QCOMPARE(r.rig.messages.shown.back().caption, std::string("確認"));
        QVERIFY(r.rig.messages.shown.back().text.find("ネットワーク基礎") != std::string::npos);
        QCOMPARE(readBytes(course.AdpPath), stored);
        QVERIFY(r.form->isVisible());
        QCOMPARE(deleted.count(), 0);

        r.rig.messages.answers = {true};
        QTest::mouseClick(remove, Qt::LeftButton, {}, remove->rect().center());
        QVERIFY(!fs::exists(course.AdpPath));
        QCOMPARE(readBytes(course.HisPath), history);
        QVERIFY(!r.form->isVisible());
        QCOMPARE(deleted.count(), 1);
        QCOMPARE(r.control<QTableView>("SG")->model()->rowCount(), 1);

        // The course has no history now.
        r.form->showFor(course);
        QVERIFY(!r.form->isVisible());
        QCOMPARE(r.rig.messages.shown.back().text, std::string("Adaptive履歴はありません。"));
    }

    void missingAndUnreadableFilesAreToldApart() {
        ListRig r("nexa");
        const CourseEntry& course = r.course("NXN-101");
        r.form->showFor(course);
        QVERIFY(!r.form->isVisible());
        QCOMPARE(r.rig.messages.shown.size(), std::size_t{1});
        QCOMPARE(r.rig.messages.shown[0].caption, std::string("Tovalo Adaptive一覧表"));
        QCOMPARE(r.rig.messages.shown[0].text, std::string("Adaptive履歴はありません。"));

        // Something is there that cannot be read: named as an error, the list
        // opens empty, and deleting stays the learner's decision.
        fs::create_directories(fs::path(course.AdpPath) / "inside");
        QSignalSpy deleted(r.form, &TAdaptiveForm::adaptiveDeleted);
        r.form->showFor(course);
        QVERIFY(r.form->isVisible());
        QCOMPARE(r.rig.messages.shown.size(), std::size_t{2});
        QCOMPARE(r.rig.messages.shown[1].caption, std::string("Error"));
        QVERIFY(r.rig.messages.shown[1].text.find(course.AdpPath) != std::string::npos);
        QCOMPARE(r.control<QTableView>("SG")->model()->rowCount(), 0);
        // A long path does not push the window wider.
        QCOMPARE(r.form->size(), QSize(760, 560));
        QVERIFY(
            r.control<QLabel>("Label2")->text().contains(QString::fromStdString(course.AdpPath)));
        QVERIFY(fs::exists(fs::path(course.AdpPath) / "inside"));

        // Asked to, the window tries and says why it could not.
        r.rig.messages.answers = {true};
        auto* remove = r.control<ImageButton>("Image1");
        QTest::mouseClick(remove, Qt::LeftButton, {}, remove->rect().center());
        QCOMPARE(r.rig.messages.shown.back().caption, std::string("Error"));
        QVERIFY(r.rig.messages.shown.back().text.find("削除できません") != std::string::npos);
        QVERIFY(fs::exists(fs::path(course.AdpPath) / "inside"));
        QVERIFY(r.form->isVisible());
        QCOMPARE(deleted.count(), 0);
    }

    // The files are found through the catalog, so a question file named
    // otherwise than its code works; an empty history file is a history
    // with nothing in it, not a missing one.
    void courseFileNamedOtherwiseAndAnEmptyHistory() {
        ListRig r("nexa", [](ExamRig& rig) {
            QVERIFY(QFile::rename(rig.path(QStringLiteral("QDAT/nexa/NXN-101.qdf")),
                                  rig.path(QStringLiteral("QDAT/nexa/network-basics.qdf"))));
        });
        const CourseEntry& course = r.course("NXN-101");
        QVERIFY(course.AdpPath.ends_with("/network-basics.ADP"));
        // Question 999 is no longer in the file; its history still counts.
        writeBytes(course.AdpPath, adpLine("999", 1, 3, "削除された問題", 4, 1, 8));
        r.form->showFor(course);
        QVERIFY(r.form->isVisible());
        QCOMPARE(r.row(0), QStringList({"999", "ネットワークの基礎", "伝送媒体と物理層",
                                        "削除された問題", "4", "1", "8"}));
        r.form->Button1Click();
        QVERIFY(!r.form->isVisible());

        writeBytes(course.AdpPath, "");
        r.form->showFor(course);
        QVERIFY(r.form->isVisible());
        QCOMPARE(r.control<QTableView>("SG")->model()->rowCount(), 0);
        QCOMPARE(r.control<QLabel>("Label2")->text(),
                 QStringLiteral("出題数の合計 : 0 正解数の合計 : 0 平均回答時間 : 0"));
        QVERIFY(r.rig.messages.shown.empty());
    }
};

QTEST_MAIN(TestAdaptiveForm)
#include "tst_adaptive_form.moc"
