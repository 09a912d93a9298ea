#pragma once

#include <QMainWindow>
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QMovie;
class QTreeWidget;
class QTreeWidgetItem;

namespace sievo {

class SoundPlayer;
class TrayMenu;

// The rule list: every rule of rules.ini as one row, with the commands to add, change,
// delete and switch rules, and the way to the program's other windows. Rows carry their
// rule number, so a sorted list still acts on the rule a row shows.
class TfrmList : public QMainWindow {
    Q_OBJECT

public:
    // The commands of the program's other windows are those of the tray menu.
    TfrmList(TrayMenu& commands, SoundPlayer& sounds, QWidget* parent = nullptr);
    ~TfrmList() override;

    // Refills the list from rules.ini, in rule order.
    void PROCloadRuleList();
    // Caption, animation and the auto-check menu items follow the auto-check state.
    void MirrorAutoCheck(bool enabled);
    // Runs the New command with the wizard's address box filled in.
    void QuickAddAddress(const QString& address);

    void A1Click();  // New
    void N4Click();  // Properties
    void D1Click();  // Delete
    void lstVRulesColumnClick(int column);
    void ExportSieveClick();   // the rules as a Sieve script in a file
    void InstallSieveClick();  // the rules on an account's server over ManageSieve

    // Without a tray this window carries the program's menu and a hint, and closing it
    // minimises it, so the program can still be reached.
    void SetTrayMissing(bool missing, QMenu* menu);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateList();
    void CreateMenus();
    void CreateToolBar();
    void CreateHintPanel();
    QAction* AddCommand(QMenu* menu, const char* objectName, const QString& text,
                        void (TfrmList::*command)(), const QKeySequence& shortcut = {});
    QAction* AddForward(QMenu* menu, const QString& text, QAction* target,
                        const QKeySequence& shortcut = {});
    void lstVRulesChange(QTreeWidgetItem* item);
    void SelectRow(int position);
    void ShowHelp();

    TrayMenu& commands_;
    SoundPlayer& sounds_;
    QTreeWidget* lstVRules_;
    QLabel* Animate1_;
    QMovie* movie_;
    QLabel* lblHint_;
    QLabel* lblTrayHint_;
    QAction* mnuEnableAutoCheck_ = nullptr;
    QAction* mnuDisableAutoCheck_ = nullptr;
    QMenu* fallbackMenu_ = nullptr;
    QString quickAddAddress_;
    bool deleting_ = false;
    bool loading_ = false;
    bool trayMissing_ = false;

    // Kept by the class for the life of the process: the direction of the next sort,
    // whichever column it is on.
    static bool sortAscending_;
};

}  // namespace sievo
