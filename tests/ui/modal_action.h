#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

namespace sievo::testing {

// Works the next modal window that comes up through `act` (fill in boxes, press buttons),
// for windows that need more than a button press.
class ModalAction {
public:
    explicit ModalAction(std::function<void(QWidget&)> act) : act_(std::move(act)) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* window = QApplication::activeModalWidget();
            if (!window || window == last_)
                return;
            last_ = window;
            timer_.stop();
            act_(*window);
            done_ = true;
        });
        timer_.start();
    }

    bool Done() const { return done_; }

private:
    std::function<void(QWidget&)> act_;
    QTimer timer_;
    QWidget* last_ = nullptr;
    bool done_ = false;
};

}  // namespace sievo::testing
