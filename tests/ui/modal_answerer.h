#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace sievo::testing {

// Answers modal windows as they come up, in order: each answer names the window it
// expects (objectName) and the button to press (its objectName, or its text without the
// mnemonic), or what to do with it (fill in a wizard, say). A window that was not
// expected is closed and recorded.
class ModalAnswerer {
public:
    struct Answer {
        QString window;
        QString button;
        std::function<void(QWidget&)> act = {};
    };
    using Answers = std::vector<Answer>;
    explicit ModalAnswerer(Answers answers);

    bool AllAnswered() const { return left_.empty(); }
    // Each window seen: its objectName, and ": " + its text for message boxes.
    std::vector<std::string> seen;

private:
    void Look();

    std::deque<Answer> left_;
    QTimer timer_;
};

}  // namespace sievo::testing
