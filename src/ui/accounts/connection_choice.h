#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QRadioButton;
class QSlider;

namespace sievo {

// "Every v Minutes" below an hour, "Every (v div 60) Hours" from an hour on.
QString IntervalLabelText(int minutes);

// A track bar of 0 to 1440 minutes whose label follows it.
QSlider* NewIntervalSlider(QLabel* label, QWidget* parent);

// The three ways to reach the Internet and the dial-up entry to use. The entry list and
// its label are enabled only for the dial-up and the only-check options; with entries but
// none selected, the first is selected.
class ConnectionChoice : public QWidget {
    Q_OBJECT

public:
    struct Texts {
        QString lan;
        QString manual;
        QString ras;
        QString connection;
    };
    ConnectionChoice(const Texts& texts, QWidget* parent);

    // Fills the entry list; selects the one `matches` accepts, if any.
    void SetEntries(const std::vector<std::string>& entries,
                    const std::function<bool(const std::string&)>& matches);
    // "LAN", "MANUAL" or "RAS" (any case); anything else checks LAN.
    void SetMethod(const std::string& method);
    std::string Method() const;
    // The entry chosen; empty when the list has none.
    std::string Service() const;
    // Whether Service belongs in the file: only for the dial-up and only-check options.
    bool UsesService() const;

private:
    void ApplyRule();

    QRadioButton* optLAN_;
    QRadioButton* optManual_;
    QRadioButton* optRAS_;
    QLabel* lblConnection_;
    QComboBox* cboConnection_;
};

}  // namespace sievo
