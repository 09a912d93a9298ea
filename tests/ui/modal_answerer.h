#pragma once

#include <QAbstractButton>
#include <QMessageBox>
#include <deque>
#include <string>
#include <vector>

#include "modal_action.h"

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
    explicit ModalAnswerer(Answers answers)
        : left_(answers.begin(), answers.end()),
          watch_([this](QWidget& window) { Look(window); }) {}

    bool AllAnswered() const { return left_.empty(); }
    // Each window seen: its objectName, and ": " + its text for message boxes.
    std::vector<std::string> seen;

private:
    void Look(QWidget& window) {
        std::string record = window.objectName().toStdString();
        if (auto* box = qobject_cast<QMessageBox*>(&window))
            record += ": " + box->text().toStdString();
        const bool expected = !left_.empty() && left_.front().window == window.objectName();
        const auto act = expected ? left_.front().act : nullptr;
        QAbstractButton* button = expected && !act ? FindButton(window) : nullptr;
        if (!act && !button) {
            seen.push_back("unexpected " + record);
            window.close();
            return;
        }
        seen.push_back(record);
        left_.pop_front();
        if (act)
            act(window);
        else
            button->click();
    }
    QAbstractButton* FindButton(QWidget& window) const {
        for (auto* button : window.findChildren<QAbstractButton*>())
            if (button->objectName() == left_.front().button ||
                button->text().remove('&') == left_.front().button)
                return button;
        return nullptr;
    }

    std::deque<Answer> left_;
    ModalWatch watch_;
};

}  // namespace sievo::testing
