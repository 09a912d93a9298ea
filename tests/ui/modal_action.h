#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "wait_until.h"

namespace sievo::testing {

// Hands the active modal window, whenever there is one, to `look`, every 20 ms.
class ModalWatch {
public:
    explicit ModalWatch(std::function<void(QWidget&)> look) : look_(std::move(look)) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* window = QApplication::activeModalWidget())
                look_(*window);
        });
        timer_.start();
    }

private:
    std::function<void(QWidget&)> look_;
    QTimer timer_;
};

// Works a modal window through `act` once it is up (fill in boxes, press buttons), for
// windows that need more than a button press: the next one to come up, or the next one of
// that objectName.
class ModalAction {
public:
    explicit ModalAction(std::function<void(QWidget&)> act) : ModalAction({}, std::move(act)) {}
    ModalAction(const QString& name, std::function<void(QWidget&)> act)
        : watch_([this, name, act = std::move(act)](QWidget& window) {
              if (done_ || (!name.isEmpty() && window.objectName() != name))
                  return;
              done_ = true;
              act(window);
          }) {}

    bool Done() const { return done_; }

private:
    bool done_ = false;
    ModalWatch watch_;
};

// The visible top-level window of that objectName, or none.
inline QWidget* TopLevel(const QString& name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == name && window->isVisible())
            return window;
    return nullptr;
}

}  // namespace sievo::testing
