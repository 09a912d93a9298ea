#include "modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace sievo::testing {

namespace {

constexpr int kLookIntervalMs = 20;

QAbstractButton* FindButton(QWidget& window, const QString& name) {
    for (auto* button : window.findChildren<QAbstractButton*>()) {
        if (button->objectName() == name || button->text().remove('&') == name)
            return button;
    }
    return nullptr;
}

}  // namespace

ModalAnswerer::ModalAnswerer(Answers answers) : left_(answers.begin(), answers.end()) {
    timer_.setInterval(kLookIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
    timer_.start();
}

void ModalAnswerer::Look() {
    QWidget* window = QApplication::activeModalWidget();
    if (!window)
        return;
    std::string record = window->objectName().toStdString();
    if (auto* box = qobject_cast<QMessageBox*>(window))
        record += ": " + box->text().toStdString();
    const bool expected = !left_.empty() && left_.front().window == window->objectName();
    if (expected && left_.front().act) {
        seen.push_back(record);
        const auto act = left_.front().act;
        left_.pop_front();
        act(*window);
        return;
    }
    QAbstractButton* button = nullptr;
    if (expected)
        button = FindButton(*window, left_.front().button);
    if (!button) {
        seen.push_back("unexpected " + record);
        window->close();
        return;
    }
    seen.push_back(record);
    left_.pop_front();
    button->click();
}

}  // namespace sievo::testing
