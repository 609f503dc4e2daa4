#include "ui/answer/question_links.h"

#include <QFrame>

#include "core/app/address_files.h"
#include "core/app/settings_keys.h"
#include "core/common/files.h"
#include "core/views/answer_view.h"
#include "core/views/support_page.h"
#include "core/views/training_material.h"
#include "ui/session/session.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

const QSize kTrainingButton(104, 21);
const QSize kRoundButton(50, 36);

void openOrTell(Session& session, const Result<std::string>& page) {
    if (!page) {
        session.services.messages.showError(page.error().describe());
        return;
    }
    if (const Status st = session.services.shell.open(*page); !st) {
        session.services.messages.showError(st.error().describe());
    }
}

}  // namespace

std::string currentQuestionDir(const Session& session) {
    const app::Vendor* vendor = session.vendor(session.currentVendor);
    return session.directories.questionDir(vendor != nullptr ? vendor->folder : std::string());
}

std::string currentLabelStyle(const Session& session) {
    const app::Vendor* vendor = session.vendor(session.currentVendor);
    return vendor != nullptr ? vendor->choiceLabelStyle : std::string();
}

void setTrainingButtonLook(ImageButton* button, int which) {
    const QString caption = QStringLiteral("参考資料%1").arg(which);
    button->setPictures(
        buttonPicture(kTrainingButton, caption, ButtonTone::Navigate, ButtonGlyph::Document),
        buttonPicture(kTrainingButton, caption, ButtonTone::Navigate, ButtonGlyph::Document,
                      false));
    button->setAccessibleName(caption);
}

void setSupportButtonLook(ImageButton* button) {
    button->setPictures(
        buttonPicture(kRoundButton, QStringLiteral("質問"), ButtonTone::Answer, ButtonGlyph::None));
    button->setToolTip(QStringLiteral("質問サービスを利用します"));
    button->setAccessibleName(QStringLiteral("質問サービス"));
}

void setFaqButtonLook(ImageButton* button) {
    button->setPictures(
        buttonPicture(kRoundButton, QStringLiteral("FAQ"), ButtonTone::Suspend, ButtonGlyph::None));
    button->setToolTip(QStringLiteral("@Tovalo FAQを表示します"));
    button->setAccessibleName(QStringLiteral("FAQ"));
}

void setFigureButtonLook(ImageButton* button, const QString& caption) {
    button->setPictures(
        buttonPicture(QSize(78, 22), caption, ButtonTone::Figure, ButtonGlyph::Picture));
    button->setAccessibleName(caption);
}

void setStyleViewButtonLook(ImageButton* button) {
    button->setPictures(buttonPicture(QSize(150, 28), QStringLiteral("正解を表示"),
                                      ButtonTone::Answer, ButtonGlyph::Check));
    button->setToolTip(QStringLiteral("正解を別のウィンドウで表示します"));
    button->setAccessibleName(QStringLiteral("正解を表示"));
}

void setLinkBarLook(QFrame* bar) {
    bar->setStyleSheet(
        QStringLiteral(
            "QFrame#%1 { border-top: 1px solid #9aa6ba; background: qlineargradient(x1:0, y1:0, "
            "x2:0, y2:1, stop:0 #e9eef6, stop:1 #c4cedd); }")
            .arg(bar->objectName()));
}

void layOutLinkBar(QFrame* bar, ImageButton* faq, ImageButton* training1, ImageButton* training2,
                   ImageButton* support) {
    faq->move(5, 6);
    training1->move(faq->width() + 12, 3);
    training2->move(training1->x(), training1->y() + training1->height());
    support->move(bar->width() - support->width() - 5, 6);
}

void setTrainingButton(ImageButton* button, const ExamQuestion& question, int which) {
    const bool named = !question.CbtFile[which - 1].empty();
    button->setEnabled(named);
    button->setToolTip(named ? qs(question.CbtHint[which - 1]) : QString());
}

void openTrainingMaterial(Session& session, const ExamQuestion& question, int which) {
    const std::string& document = question.CbtFile[which - 1];
    if (document.empty()) {
        return;
    }
    const std::string setting = app::settings::read(
        session.services.settings, which == 1 ? app::settings::kCdPath : app::settings::kCdPath2);
    const TrainingTarget target =
        resolveTrainingMaterial(document, setting, session.cdromRoots,
                                [](const std::string& path) { return fileExists(path); });
    platform::MessageBoxes& messages = session.services.messages;
    switch (target.kind) {
        case TrainingTarget::Kind::LaunchWeb:
        case TrainingTarget::Kind::LaunchFile:
            openOrTell(session, writeLaunchPage(session.programDir, target));
            return;
        case TrainingTarget::Kind::OpenRef:
            // The copy of the documents installed beside the program.
            if (!session.services.shell.open(session.programDir + target.target)) {
                messages.showNotice(std::string(kNoDiscCaption), std::string(kNoDiscMessage));
            }
            return;
        case TrainingTarget::Kind::InsertDisc:
            messages.showNotice({}, std::string(kInsertDiscMessage));
            return;
    }
}

void openSupportPage(Session& session, const ExamQuestion& question,
                     const std::string& answerBlock) {
    const CourseEntry& course = session.exam.course();
    const SupportPageFiles files =
        supportPageFiles(course.FormatKind, session.programDir, currentQuestionDir(session));
    const Status written = writeSupportPage(
        files, supportPageValues(session.profile, session.cgiUrl, course, question, answerBlock));
    openOrTell(session, written ? Result<std::string>(files.pagePath)
                                : Result<std::string>(written.error()));
}

void openFaqPage(Session& session, const ExamQuestion& question) {
    const Result<std::string> address = app::readFirstAddress(session.programDir + "urlref");
    if (!address) {
        session.services.messages.showError(address.error().describe());
        return;
    }
    const std::string url = faqAddress(*address, session.exam.course().ExamCode, question.QuesNum);
    if (const Status st = session.services.shell.open(url); !st) {
        session.services.messages.showError(st.error().describe());
    }
}

}  // namespace tovalo::ui
