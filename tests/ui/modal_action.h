#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "wait_until.h"

namespace sievo::testing {

// Works a modal window through `act` once it is up (fill in boxes, press buttons), for
// windows that need more than a button press: the next one to come up, or the next one of
// that objectName.
class ModalAction {
public:
    explicit ModalAction(std::function<void(QWidget&)> act) : ModalAction({}, std::move(act)) {}
    ModalAction(const QString& name, std::function<void(QWidget&)> act)
        : name_(name), act_(std::move(act)) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* window = QApplication::activeModalWidget();
            if (!window || window == last_ || (!name_.isEmpty() && window->objectName() != name_))
                return;
            last_ = window;
            timer_.stop();
            done_ = true;
            act_(*window);
        });
        timer_.start();
    }

    bool Done() const { return done_; }

private:
    QString name_;
    std::function<void(QWidget&)> act_;
    QTimer timer_;
    QWidget* last_ = nullptr;
    bool done_ = false;
};

// The visible top-level window of that objectName, or none.
inline QWidget* TopLevel(const QString& name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == name && window->isVisible())
            return window;
    return nullptr;
}

}  // namespace sievo::testing
