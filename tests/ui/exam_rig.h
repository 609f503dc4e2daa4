#pragma once

// A copy of the staged sample installation in a temporary folder, the window
// set started over it with the real vendor bundles and recording doubles
// for everything else, and an exam drawn the way the category screen draws
// one. Tests drive the screens from there without the category screen.

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/scripted_server.h"
#include "core/app/command_line.h"
#include "core/catalog/catalog.h"
#include "core/exam/selection.h"
#include "core/platform/doubles.h"
#include "core/questions/question_file.h"
#include "core/results/history_file.h"
#include "core/styles/answer_style.h"
#include "platform/qt_bundle_loader.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/session/session.h"
#include "ui/startup/screens.h"
#include "ui/startup/startup.h"

// A moment of the local clock, for the rig's ManualClock.
inline std::chrono::system_clock::time_point localTime(int year, int month, int day, int hour,
                                                       int minute) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&t));
}

class ExamRig {
  public:
    ExamRig() {
        const QDir stage(QStringLiteral(TOVALO_STAGE_ROOT));
        QDir root(dir.path());
        root.mkpath(QStringLiteral("bin"));
        for (const char* file :
             {"CGI_URL", "Tovalo20.ini", "Tovalonexa.rcc", "Tovalosorane.rcc", "Tovalokumo.rcc",
              "urlref", "QuesProto", "QuesProto2", "LaunchProto"}) {
            QFile::copy(stage.filePath(QStringLiteral("bin/") + file),
                        root.filePath(QStringLiteral("bin/") + file));
        }
        QDirIterator it(stage.filePath(QStringLiteral("QDAT")), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString relative = stage.relativeFilePath(from);
            root.mkpath(QFileInfo(root.filePath(relative)).path());
            QFile::copy(from, root.filePath(relative));
        }
        for (const char* vendor : {"nexa", "sorane", "kumo"}) {
            root.mkpath(QStringLiteral("HIST/") + vendor);
        }
    }

    ~ExamRig() {
        screens.reset();
        session.reset();
    }

    tovalo::Status start(const std::vector<std::string>& arguments = {}) {
        tovalo::platform::MessageBoxes& boxes =
            desktopBoxes != nullptr ? *desktopBoxes
                                    : static_cast<tovalo::platform::MessageBoxes&>(messages);
        tovalo::ui::Services services{settings, boxes, sound,   shell,  clock,
                                      drives,   files, bundles, &server};
        session = std::make_unique<tovalo::ui::Session>(services, bin(),
                                                        tovalo::app::parseCommandLine(arguments));
        session->endProgram = [this] { ++endRequests; };
        screens = std::make_unique<tovalo::ui::Screens>();
        return tovalo::ui::createWindowSet(*session, *screens);
    }

    // Loads a course and draws an exam of `count` questions and `minutes`
    // minutes, as the category screen's start button does, with the adaptive
    // option when `adaptive` is set. `arrange` may reorder the drawn
    // questions before the exam begins.
    void drawExam(const std::string& vendor, const std::string& code, int count, int minutes,
                  tovalo::SelectionMode mode = tovalo::SelectionMode::Normal,
                  const std::function<void(std::vector<tovalo::ExamQuestion>&)>& arrange = {}) {
        tovalo::ui::Session& s = *session;
        for (const tovalo::app::Vendor& v : s.vendors) {
            if (v.folder == vendor) {
                s.currentVendor = v.number;
            }
        }
        QVERIFY2(s.currentVendor > 0 && s.vendor(s.currentVendor)->folder == vendor,
                 vendor.c_str());
        s.catalog =
            tovalo::buildCatalog(s.directories.questionDir(vendor),
                                 s.directories.historyDir(vendor), tovalo::emptyHistoryFiles(""));
        s.CourseIndex = 0;
        for (std::size_t i = 0; i < s.catalog.courses.size(); ++i) {
            if (s.catalog.courses[i].ExamCode == code) {
                s.CourseIndex = static_cast<int>(i) + 1;
            }
        }
        QVERIFY2(s.CourseIndex > 0, code.c_str());
        tovalo::Status opened = s.exam.open(*s.course());
        QVERIFY2(opened.ok(), opened.ok() ? "" : opened.error().describe().c_str());
        s.random = tovalo::RandomSource(20240601);
        const tovalo::StartCheck check = s.exam.start(
            {std::to_string(count), std::to_string(minutes), mode, adaptive}, s.random);
        QVERIFY2(check.ok, check.message.c_str());
        if (arrange) {
            std::vector<tovalo::ExamQuestion> questions = s.exam.questions();
            arrange(questions);
            s.exam.stage(std::move(questions));
        }
    }

    // Answers position k (1-based) right: exactly its correct slots marked.
    void answerRight(int position) {
        const tovalo::ExamQuestion& q = session->exam.question(position);
        session->exam.engine().recordAnswer(position, q.ShownCorrect, false);
    }

    // Every position took `seconds` on screen.
    void spendOnEach(int seconds) {
        for (int p = 1; p <= session->exam.questionCount(); ++p) {
            session->exam.engine().recordTime(p, seconds);
        }
    }

    // Answered with the exam screen's own radio buttons or check boxes.
    static bool answeredByMarks(const tovalo::ExamQuestion& q) {
        const tovalo::AnswerWith with = tovalo::traitsOf(q.Style).answeredWith;
        return with == tovalo::AnswerWith::Radio || with == tovalo::AnswerWith::CheckBoxes;
    }

    // Moves the first drawn question that `wanted` accepts to the front.
    static std::function<void(std::vector<tovalo::ExamQuestion>&)> firstWhere(
        std::function<bool(const tovalo::ExamQuestion&)> wanted) {
        return [wanted](std::vector<tovalo::ExamQuestion>& exam) {
            auto it = std::find_if(exam.begin(), exam.end(), wanted);
            QVERIFY2(it != exam.end(), "no drawn question fits");
            std::rotate(exam.begin(), it, it + 1);
        };
    }

    [[nodiscard]] std::string root() const { return dir.path().toStdString(); }
    [[nodiscard]] std::string bin() const { return root() + "/bin/"; }
    [[nodiscard]] QString path(const QString& relative) const {
        return dir.path() + QLatin1Char('/') + relative;
    }

    QTemporaryDir dir;
    tovalo::platform::MemorySettingsStore settings;
    tovalo::platform::RecordingMessageBoxes messages;
    // Set before start() to have the real, blocking boxes instead of `messages`.
    tovalo::platform::MessageBoxes* desktopBoxes = nullptr;
    // drawExam asks for the adaptive option.
    bool adaptive = false;
    tovalo::platform::RecordingSoundPlayer sound;
    tovalo::platform::RecordingShell shell;
    tovalo::platform::ManualClock clock;
    tovalo::platform::FixedDriveLister drives;
    tovalo::platform::MemoryFileAttributes files;
    tovalo::platform::QtBundleLoader bundles;
    // The servers the online screens reach.
    ScriptedServer server;
    std::unique_ptr<tovalo::ui::Session> session;
    std::unique_ptr<tovalo::ui::Screens> screens;
    int endRequests = 0;
};
