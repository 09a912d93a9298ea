#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

namespace sievo::testing {

// Runs `act` on the modal window named `name` once it is up (fills fields, then presses
// a button), so a test can do more with a dialog than press one button.
class WhenModal {
public:
    WhenModal(const QString& name, std::function<void(QWidget&)> act)
        : name_(name), act_(std::move(act)) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* window = QApplication::activeModalWidget();
            if (!window || window->objectName() != name_)
                return;
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
    bool done_ = false;
};

// The visible top-level window of that objectName, or none.
inline QWidget* TopLevel(const QString& name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == name && window->isVisible())
            return window;
    return nullptr;
}

// Lets events be handled until `done` holds or `timeoutMs` have passed; whether it held.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace sievo::testing
