#pragma once

#include <QDialog>

class QLabel;
class QMenu;
class QVBoxLayout;

namespace sievo {

// A small window standing in for one that is still to be built: it says what will be
// there, so every command shows something. As the first-start wizard it has Finish and
// Cancel; otherwise Close.
class StandInWindow : public QDialog {
    Q_OBJECT

public:
    enum class Kind { Window, Wizard };

    StandInWindow(const char* objectName, const QString& caption, const QString& description,
                  Kind kind = Kind::Window, QWidget* parent = nullptr);

    // Without a tray, this window carries the program's menu and a hint, and closing it
    // minimises it, so the program can still be reached.
    void SetTrayMissing(bool missing, QMenu* menu);
    // A line about what the window was opened for.
    void SetDetail(const QString& detail);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void AddButtons(Kind kind);

    QVBoxLayout* layout_;
    QLabel* lblDetail_;
    QLabel* lblTrayHint_;
    bool trayMissing_ = false;
};

}  // namespace sievo
