#include "ui/common/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "config/activity_log.h"

namespace sievo {

void ShowUserMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Information, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.setObjectName("dlgMessage");
    box.exec();
}

bool AskUserYesNo(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName("dlgQuestion");
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool RunShowingFailure(QWidget* parent, const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const std::exception& error) {
        // Counted and logged where the log is open; before that, it would show its own box.
        if (TheActivityLog().IsOpen())
            AppException(error);
        ShowUserMessage(parent, QString::fromStdString(error.what()));
        return false;
    }
}

}  // namespace sievo
