#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace sievo {

// "Options": the program-wide settings of settings.ini on four pages.
class TfrmOptions : public QDialog {
    Q_OBJECT

public:
    // `checkForUpgrade` runs the spammer-list update at once.
    TfrmOptions(std::function<void()> checkForUpgrade, QWidget* parent = nullptr);

    void accept() override;

private:
    QWidget* GeneralPage();
    QWidget* AutoUpdatePage();
    QWidget* ProxyPage();
    QWidget* ProgramsPage();
    void Load();
    void Save() const;
    void ApplyProxyRule();

    std::function<void()> checkForUpgrade_;
    QCheckBox* chkVerbose_;
    QCheckBox* chkDisableSounds_;
    QRadioButton* optUpdateYes_;
    QRadioButton* optUpdateNo_;
    QLabel* lblLastUpdate_;
    QCheckBox* chkUseProxy_;
    QLabel* lblProxyAddress_;
    QLabel* lblProxyPort_;
    QLineEdit* edtProxyAddress_;
    QLineEdit* edtProxyPort_;
    QLineEdit* edtBrowser_;
};

// Opens "Options" and writes the settings on OK.
void PROCShowOptions(std::function<void()> checkForUpgrade, QWidget* parent = nullptr);

}  // namespace sievo
