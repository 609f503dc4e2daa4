#include "server/service/published_courses.h"

#include "core/exam/page_writer.h"
#include "core/questions/question_file.h"
#include "core/views/support_page.h"

namespace tovalo::server::service {

Result<std::shared_ptr<const PublishedCatalog>> PublishedCourses::current() {
    Result<std::int64_t> latest = store_.latestCourseVersionId();
    if (!latest) {
        return latest.error();
    }
    std::lock_guard lock(mutex_);
    if (catalog_ && readAt_ == *latest) {
        return catalog_;
    }
    Result<std::vector<store::CourseVersion>> published = store_.currentCourses();
    if (!published) {
        return published.error();
    }
    auto catalog = std::make_shared<PublishedCatalog>();
    for (const store::CourseVersion& v : *published) {
        Result<std::optional<std::string>> qdf = store_.storedFile(v.qdfHash);
        if (!qdf) {
            return qdf.error();
        }
        if (!*qdf) {
            continue;
        }
        Result<QuestionBank> bank = parseQuestionFile(**qdf, v.course);
        Result<QdfHeader> header = parseQdfHeader(**qdf, v.course);
        if (!bank || !header) {
            continue;
        }
        PublishedCourse c;
        c.vendor = v.vendor;
        c.file = v.course;
        c.code = header->ExamCode;
        c.title = header->ExamTitle;
        c.formatKind = header->FormatKind;
        c.questionCount = static_cast<int>(bank->questions.size());
        c.timeLimitMinutes = header->ExamTimeLimit;
        for (const CategorySlot& slot : bank->categories) {
            c.categories.push_back(slot.CategoryName);
        }
        for (int slot = 1; slot <= c.questionCount; ++slot) {
            const QuestionRecord& q = bank->question(slot);
            const std::string text = bank->text(q.QuesText);
            c.questions[q.QuesNum] = c.formatKind == 2 ? PageToListText(text, c.formatKind)
                                                       : supportQuestionText(text, c.formatKind);
        }
        catalog->codeOfFile[c.file] = c.code;
        const std::string code = c.code;
        catalog->byCode[code] = std::move(c);
    }
    catalog_ = std::move(catalog);
    readAt_ = *latest;
    return catalog_;
}

}  // namespace tovalo::server::service
