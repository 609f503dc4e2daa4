#include "platform/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace tovalo::platform {

void QtMessageBoxes::showError(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kErrorCaption),
                    QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtMessageBoxes::askYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kQuestionCaption),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    return box.exec() == QMessageBox::Yes;
}

}  // namespace tovalo::platform
