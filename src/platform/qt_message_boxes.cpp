#include "platform/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/qt_modal_windows.h"

namespace tovalo::platform {

namespace {

QMessageBox::StandardButton run(QMessageBox::Icon icon, const char* caption,
                                const std::string& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromUtf8(caption), QString::fromStdString(text), buttons,
                    QApplication::activeWindow());
    return static_cast<QMessageBox::StandardButton>(runModal(box));
}

}  // namespace

void QtMessageBoxes::showError(const std::string& text) {
    run(QMessageBox::Critical, kErrorCaption, text, QMessageBox::Ok);
}

bool QtMessageBoxes::askYesNo(const std::string& text) {
    return run(QMessageBox::Question, kQuestionCaption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

bool QtMessageBoxes::askOkCancel(const std::string& text) {
    return run(QMessageBox::Question, kQuestionCaption, text,
               QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtMessageBoxes::showNotice(const std::string& caption, const std::string& text) {
    run(QMessageBox::Information, caption.c_str(), text, QMessageBox::Ok);
}

}  // namespace tovalo::platform
