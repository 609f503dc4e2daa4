#include "ui/startup/startup.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <functional>
#include <iterator>
#include <memory>

#include "core/app/settings_keys.h"
#include "core/common/safe_file.h"
#include "ui/answer/TCheatForm.h"
#include "ui/course/TCatSelForm.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/course/TMainMenuForm.h"
#include "ui/exam/TCaseStudyForm.h"
#include "ui/exam/TConfirmForm.h"
#include "ui/exam/TExamModeForm.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/exam/TRefImgForm.h"
#include "ui/online/TDownLoad.h"
#include "ui/online/TSyncCandidateForm.h"
#include "ui/online/TSyncForm.h"
#include "ui/online/TUpdateForm.h"
#include "ui/results/TAdaptiveForm.h"
#include "ui/results/TResultForm.h"
#include "ui/results/TStudyForm.h"
#include "ui/session/session.h"
#include "ui/startup/TSpareForm.h"
#include "ui/startup/coordinator.h"
#include "ui/startup/screens.h"
#include "ui/styles/TfrmSelStyle3.h"
#include "ui/styles/TfrmSelStyle3View.h"
#include "ui/styles/TfrmSelStyle4.h"
#include "ui/styles/TfrmSelStyle4View.h"
#include "ui/styles/TfrmSelStyle5.h"
#include "ui/styles/TfrmSelStyle5View.h"
#include "ui/styles/TfrmSelStyle6.h"
#include "ui/styles/TfrmSelStyle6View.h"
#include "ui/styles/TfrmSelStyle7.h"
#include "ui/styles/TfrmSelStyle7View.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/lazy_controls.h"

namespace tovalo::ui {

namespace {

template <class Form>
Form* create(Session& session, Screens& screens) {
    return screens.adopt(std::make_unique<Form>(session));
}

// The last resort against a program that runs on with nothing on screen,
// where the learner could neither use it nor end it: whenever a window goes
// away and no window of the program is left, the course menu comes back.
// Nothing is done once the program is ending, nor before the course menu has
// been reached (the profile screen hands over to it in one step).
class WindowGuard : public QObject {
  public:
    WindowGuard(Session& session, Screens& screens, QObject* parent)
        : QObject(parent), session_(session), screens_(screens) {
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Hide || type == QEvent::Close || type == QEvent::Show) &&
            watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
            if (type == QEvent::Show && watched == screens_.CourseMenuForm) {
                menuReached_ = true;
            } else if (type != QEvent::Show && !pending_) {
                // Screens hand over by hiding one and showing the next in
                // the same step: look once that step is over.
                pending_ = true;
                QTimer::singleShot(0, this, &WindowGuard::check);
            }
        }
        return false;
    }

  private:
    void check() {
        pending_ = false;
        if (session_.ending || !menuReached_) {
            return;
        }
        for (const QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible()) {
                return;
            }
        }
        qWarning("tovalo: no window was left on screen; back to the course menu");
        screens_.CourseMenuForm->show();
        screens_.CourseMenuForm->activateWindow();
    }

    Session& session_;
    Screens& screens_;
    bool pending_ = false;
    bool menuReached_ = false;
};

// Builds the rest of the window set once the profile screen has been
// painted, so that the learner sees the program before it has made its
// twenty-six other windows. Anything that could reach past the profile
// screen (a key, a click, a timer of that screen) finishes the set first,
// so no one ever meets a screen that is not there yet. Closing the profile
// screen ends the program and needs none of them.
class WindowSetCompleter : public QObject {
  public:
    WindowSetCompleter(Session& session, Screens& screens, std::function<void()> afterwards)
        : QObject(screens.MainMenuForm),
          session_(session),
          screens_(screens),
          afterwards_(std::move(afterwards)) {
        connect(&idle_, &QTimer::timeout, this, [this] {
            if (completeWindowSetStep(session_, screens_)) {
                finish();
            }
        });
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Paint:
                // The form itself is covered by its panels: any of its
                // widgets painted means the window has reached the screen.
                if (!idle_.isActive() && !done_ && withinProfileScreen(watched)) {
                    // A timer, not a queued call: it fires once the events
                    // already waiting, the rest of this paint among them,
                    // have been handled, and again whenever nothing waits.
                    idle_.start(0);
                }
                break;
            case QEvent::KeyPress:
            case QEvent::ShortcutOverride:
                if (withinProfileScreen(watched) &&
                    !typesText(*static_cast<const QKeyEvent*>(event))) {
                    complete();
                }
                break;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                if (withinProfileScreen(watched)) {
                    complete();
                }
                break;
            case QEvent::Timer:
                // The profile screen's own timers (its countdown), not the
                // text cursor's blinking.
                if (qobject_cast<QTimer*>(watched) != nullptr && withinProfileScreen(watched)) {
                    complete();
                }
                break;
            default:
                break;
        }
        return false;
    }

  private:
    bool withinProfileScreen(const QObject* object) const {
        for (; object != nullptr; object = object->parent()) {
            if (object == screens_.MainMenuForm) {
                return true;
            }
        }
        return false;
    }

    // A letter typed into a field leads nowhere; Enter, Space on a button,
    // Escape or a shortcut may.
    static bool typesText(const QKeyEvent& key) {
        const bool confirms = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter ||
                              key.key() == Qt::Key_Space || key.key() == Qt::Key_Escape;
        const bool modified = key.modifiers() & (Qt::ControlModifier | Qt::AltModifier);
        return !confirms && !modified && !key.text().isEmpty() && key.text().at(0).isPrint();
    }

    void complete() {
        if (!done_) {
            completeWindowSet(session_, screens_);
            finish();
        }
    }

    void finish() {
        done_ = true;
        idle_.stop();
        qApp->removeEventFilter(this);
        if (afterwards_) {
            // In a turn of its own, so that what the learner did meanwhile comes first.
            auto* later = new QTimer(parent());
            later->setSingleShot(true);
            connect(later, &QTimer::timeout, later, [later, afterwards = std::move(afterwards_)] {
                afterwards();
                later->deleteLater();
            });
            later->start(0);
        }
        deleteLater();
    }

    Session& session_;
    Screens& screens_;
    std::function<void()> afterwards_;
    QTimer idle_;
    bool done_ = false;
};

}  // namespace

void prepareApplication(QApplication& app) {
    app.setApplicationName(QStringLiteral("Tovalo"));
    // The screens speak Japanese whatever the desktop's language, so Qt's own
    // words (the standard buttons of every question box) must too.
    const QString translator = QStringLiteral("qtbase_ja");
    if (app.findChild<QTranslator*>(translator) == nullptr) {
        auto* qtWords = new QTranslator(&app);
        qtWords->setObjectName(translator);
        if (qtWords->load(translator, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qtWords);
        } else {
            qWarning(
                "tovalo: Qt's Japanese translations (%s) are not installed; standard "
                "buttons stay in English",
                qPrintable(QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
            delete qtWords;
        }
    }
    QFont font = uiFont(13);
    app.setFont(font);
    // Screens are hidden, never closed, between visits; the program ends
    // only when the main window closes.
    app.setQuitOnLastWindowClosed(false);
}

Status createFirstScreen(Session& session, Screens& screens) {
    screens.MainMenuForm = create<TMainMenuForm>(session, screens);
    return screens.MainMenuForm->FormCreate();
}

namespace {

template <class Form, Form* Screens::*slot>
void make(Session& session, Screens& screens) {
    screens.*slot = create<Form>(session, screens);
}

void makeCourseMenu(Session& session, Screens& screens) {
    screens.CourseMenuForm = create<TCourseMenuForm>(session, screens);
    screens.CourseMenuForm->FormCreate();
    // A save cut short by a crash or a power cut leaves its temporary file
    // beside the file it was saving; the old files themselves are whole.
    // Every folder the program writes is swept (pages and Print/ beside the
    // program, each vendor's question folder with its img/, each history
    // folder, also of vendors whose bundle did not load this time), and only
    // to that depth, so start-up never walks a large tree.
    const app::Directories& dirs = session.directories;
    removeLeftoverSaveFiles(dirs.programDir(), 1);
    removeLeftoverSaveFiles(dirs.questionBase(), 2);
    removeLeftoverSaveFiles(dirs.historyBase(), 1);
}

void connectWindowSet(Session& session, Screens& screens) {
    applyStartupTooltips(screens);
    new Coordinator(screens, screens.MainMenuForm);
    new WindowGuard(session, screens, screens.MainMenuForm);
    session.showQuestionNumbers = app::showsQuestionNumbers(
        app::settings::read(session.services.settings, app::settings::kDebug), session.commandLine);
    screens.complete = true;
}

// Everything after the profile screen, in the start-up order, one window a
// step, so that making them in idle time never holds the learner up for long.
using Step = void (*)(Session&, Screens&);
constexpr Step kRemainingSteps[] = {
    make<TExamModeForm, &Screens::ExamModeForm>,
    makeCourseMenu,
    make<TGenericMBForm, &Screens::GenericMBForm>,
    make<TResultForm, &Screens::ResultForm>,
    make<TStudyForm, &Screens::StudyForm>,
    make<TCatSelForm, &Screens::CatSelForm>,
    make<TCheatForm, &Screens::CheatForm>,
    make<TConfirmForm, &Screens::ConfirmForm>,
    make<TUpdateForm, &Screens::UpdateForm>,
    make<TDownLoad, &Screens::DownLoad>,
    make<TRefImgForm, &Screens::RefImgForm>,
    make<TfrmSelStyle4, &Screens::frmSelStyle4>,
    make<TfrmSelStyle3, &Screens::frmSelStyle3>,
    make<TfrmSelStyle4View, &Screens::frmSelStyle4View>,
    make<TfrmSelStyle3View, &Screens::frmSelStyle3View>,
    make<TCaseStudyForm, &Screens::CaseStudyForm>,
    make<TfrmSelStyle5, &Screens::frmSelStyle5>,
    make<TfrmSelStyle5View, &Screens::frmSelStyle5View>,
    make<TfrmSelStyle6View, &Screens::frmSelStyle6View>,
    make<TfrmSelStyle6, &Screens::frmSelStyle6>,
    make<TAdaptiveForm, &Screens::AdaptiveForm>,
    make<TfrmSelStyle7, &Screens::frmSelStyle7>,
    make<TfrmSelStyle7View, &Screens::frmSelStyle7View>,
    make<TSyncForm, &Screens::SyncForm>,
    make<TSyncCandidateForm, &Screens::SyncCandidateForm>,
    make<TSpareForm, &Screens::SpareForm>,
    connectWindowSet,
};

}  // namespace

bool completeWindowSetStep(Session& session, Screens& screens) {
    if (screens.stepsDone < std::size(kRemainingSteps)) {
        kRemainingSteps[screens.stepsDone++](session, screens);
    }
    return screens.complete;
}

void completeWindowSet(Session& session, Screens& screens) {
    while (!completeWindowSetStep(session, screens)) {
    }
}

Status createWindowSet(Session& session, Screens& screens) {
    if (Status created = createFirstScreen(session, screens); !created) {
        return created;
    }
    completeWindowSet(session, screens);
    return Ok{};
}

void completeWindowSetAfterFirstPaint(Session& session, Screens& screens,
                                      std::function<void()> afterwards) {
    new WindowSetCompleter(session, screens, std::move(afterwards));
}

void applyStartupTooltips(const Screens& screens) {
    for (ScreenForm* form : screens.all()) {
        applyStartupTooltipsTo(*form);
    }
}

}  // namespace tovalo::ui
