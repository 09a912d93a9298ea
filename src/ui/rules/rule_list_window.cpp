#include "ui/rules/rule_list_window.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMovie>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "config/data_folder.h"
#include "engine/user_services.h"
#include "store/rule_store.h"
#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"
#include "ui/rules/rule_list_item.h"
#include "ui/rules/rule_properties_dialog.h"
#include "ui/rules/rule_wizard.h"
#include "ui/rules/sieve_commands.h"
#include "ui/shell/main_window.h"
#include "ui/shell/tray_menu.h"
#include "ui/shell/web_services.h"

namespace sievo {

bool TfrmList::sortAscending_ = false;

namespace {

RuleListItem* AsRuleItem(QTreeWidgetItem* item) {
    return static_cast<RuleListItem*>(item);
}

}  // namespace

TfrmList::TfrmList(TrayMenu& commands, SoundPlayer& sounds, QWidget* parent)
    : QMainWindow(parent),
      commands_(commands),
      sounds_(sounds),
      lstVRules_(new QTreeWidget(this)),
      Animate1_(new QLabel(this)),
      movie_(new QMovie(QString::fromStdString(ProgramFile("sam.gif")), {}, this)),
      lblHint_(new QLabel(this)),
      lblTrayHint_(new QLabel(this)) {
    Name(this, "frmList", tr("Rule List"));
    setWindowTitle(tr("Rule List"));
    CreateList();
    CreateMenus();
    CreateToolBar();
    CreateHintPanel();
    Animate1_->setMovie(movie_);
    resize(760, 420);
}

TfrmList::~TfrmList() = default;

void TfrmList::CreateList() {
    Name(lstVRules_, "lstVRules", tr("Rules: the main control centre"));
    lstVRules_->setRootIsDecorated(false);
    lstVRules_->setUniformRowHeights(true);
    lstVRules_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstVRules_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstVRules_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstVRules_->setContextMenuPolicy(Qt::ActionsContextMenu);
    lstVRules_->setHeaderLabels({tr("Criteria"), tr("Value"), tr("Delete"), tr("Beep"), tr("Reply"),
                                 tr("Report"), tr("Confirm"), tr("Recycle Bin"), tr("Hits")});
    QHeaderView* header = lstVRules_->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    lstVRules_->setColumnWidth(kColCriteria, 215);
    lstVRules_->setColumnWidth(kColValue, 130);
    for (int column = kColDelete; column <= kColConfirm; ++column)
        lstVRules_->setColumnWidth(column, 60);
    lstVRules_->setColumnWidth(kColRecycle, 80);
    lstVRules_->setColumnWidth(kColHits, 50);
    connect(header, &QHeaderView::sectionClicked, this, &TfrmList::lstVRulesColumnClick);
    connect(lstVRules_, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item) { Guarded([this, item] { lstVRulesChange(item); }); });
    connect(lstVRules_, &QTreeWidget::itemDoubleClicked, this,
            [this] { Guarded([this] { N4Click(); }); });
    setCentralWidget(lstVRules_);
}

QAction* TfrmList::AddCommand(QMenu* menu, const char* objectName, const QString& text,
                              void (TfrmList::*command)(), const QKeySequence& shortcut) {
    QAction* action = menu->addAction(text);
    action->setObjectName(objectName);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this,
            [this, command] { Guarded([this, command] { (this->*command)(); }); });
    return action;
}

QAction* TfrmList::AddForward(QMenu* menu, const QString& text, QAction* target,
                              const QKeySequence& shortcut) {
    QAction* action = menu->addAction(text);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, target, &QAction::trigger);
    return action;
}

void TfrmList::CreateMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* add =
        AddCommand(file, "mnuNewRule", tr("&New Rule..."), &TfrmList::A1Click, Qt::Key_Insert);
    QAction* remove = AddCommand(file, "mnuDeleteRule", tr("&Delete Rule..."), &TfrmList::D1Click,
                                 Qt::Key_Delete);
    QAction* properties =
        AddCommand(file, "mnuProperties", tr("Rule &Properties..."), &TfrmList::N4Click);
    file->addSeparator();
    AddCommand(file, "mnuExportSieve", tr("&Export Rules as Sieve Script..."),
               &TfrmList::ExportSieveClick);
    AddCommand(file, "mnuInstallSieve", tr("&Install Rules on the Server..."),
               &TfrmList::InstallSieveClick);
    file->addSeparator();
    AddForward(file, tr("Clean &Mailbox Now"), commands_.cleanNow);
    file->addSeparator();
    connect(file->addAction(tr("&Close Window")), &QAction::triggered, this, &QWidget::close);
    AddForward(file, tr("E&xit Sievo..."), commands_.close);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    AddForward(view, tr("Mail &Preview Center"), commands_.preview);
    AddForward(view, tr("&Status..."), commands_.status);
    view->addSeparator();
    AddCommand(view, "mnuRefresh", tr("&Refresh..."), &TfrmList::PROCloadRuleList, Qt::Key_F5);

    QMenu* autoCheck = menuBar()->addMenu(tr("&Auto-Check"));
    auto* group = new QActionGroup(this);
    mnuEnableAutoCheck_ =
        AddForward(autoCheck, tr("&Enable Auto-Check"), commands_.enableAutoCheck);
    mnuDisableAutoCheck_ =
        AddForward(autoCheck, tr("&Disable Auto-Check"), commands_.disableAutoCheck);
    for (QAction* item : {mnuEnableAutoCheck_, mnuDisableAutoCheck_}) {
        item->setCheckable(true);
        group->addAction(item);
    }
    mnuEnableAutoCheck_->setObjectName("mnuEnableAutoCheck");
    mnuDisableAutoCheck_->setObjectName("mnuDisableAutoCheck");

    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    QMenu* lists = tools->addMenu(tr("Lists"));
    AddForward(lists, tr("My &Friends..."), commands_.friends);
    AddForward(lists, tr("&Spammers..."), commands_.spammers);
    AddForward(tools, tr("&Customize Reply / Report Messages..."), commands_.messages);
    tools->addSeparator();
    AddForward(tools, tr("&Accounts and Account Properties..."), commands_.accounts);
    AddForward(tools, tr("Global &Options..."), commands_.options);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* contents = help->addAction(tr("&Contents..."));
    contents->setShortcut(Qt::Key_F1);
    connect(contents, &QAction::triggered, this, &TfrmList::ShowHelp);
    AddForward(help, tr("&Tell a Friend About Sievo..."), commands_.tellAFriend);
    QMenu* web = help->addMenu(tr("Corvane on the Web"));
    std::size_t next = 0;
    for (const WebLink& link : WebLinks()) {
        if (*link.text == '\0')
            web->addSeparator();
        else
            AddForward(web, tr(link.text), commands_.webLinks[next++]);
    }
    help->addSeparator();
    AddForward(help, tr("&About..."), commands_.about);

    // The list's own pop-up menu.
    QAction* popAdd = new QAction(tr("Add..."), this);
    QAction* popDelete = new QAction(tr("Delete..."), this);
    QAction* popProperties = new QAction(tr("Properties..."), this);
    connect(popAdd, &QAction::triggered, add, &QAction::trigger);
    connect(popDelete, &QAction::triggered, remove, &QAction::trigger);
    connect(popProperties, &QAction::triggered, properties, &QAction::trigger);
    lstVRules_->addActions({popAdd, popDelete, popProperties});
}

void TfrmList::CreateToolBar() {
    QToolBar* bar = addToolBar(tr("Commands"));
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto findAction = [this](const char* name) { return findChild<QAction*>(name); };
    const auto addButton = [bar](const QString& text, QAction* target) {
        connect(bar->addAction(text), &QAction::triggered, target, &QAction::trigger);
    };
    addButton(tr("New"), findAction("mnuNewRule"));
    addButton(tr("Delete"), findAction("mnuDeleteRule"));
    bar->addSeparator();
    addButton(tr("   Clean Mail   "), commands_.cleanNow);
    addButton(tr("Preview"), commands_.preview);
    addButton(tr("Status"), commands_.status);
    bar->addSeparator();
    const auto addDropDown = [this, bar](
                                 const QString& text,
                                 std::initializer_list<std::pair<QString, QAction*>> items) {
        auto* button = new QToolButton(bar);
        button->setText(text);
        button->setPopupMode(QToolButton::InstantPopup);
        auto* menu = new QMenu(button);
        for (const auto& [itemText, target] : items)
            AddForward(menu, itemText, target);
        button->setMenu(menu);
        bar->addWidget(button);
    };
    addDropDown(tr("Options"), {{tr("Account Properties..."), commands_.accounts},
                                {tr("Global Options..."), commands_.options}});
    addDropDown(tr("Lists"), {{tr("My Friends..."), commands_.friends},
                              {tr("Known Spammers..."), commands_.spammers}});
    auto* spacer = new QWidget(bar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);
    Name(Animate1_, "Animate1", tr("Auto-check animation"));
    bar->addWidget(Animate1_);
}

void TfrmList::CreateHintPanel() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(6, 2, 6, 4);
    auto* row = new QHBoxLayout;
    lblHint_->setText(
        tr("Tick a rule to switch it on, untick it to switch it off. "
           "Double-click a rule to change it; click a column to sort."));
    lblHint_->setWordWrap(true);
    Name(lblHint_, "lblHint", tr("Hint"));
    auto* btnHelp = new QPushButton(tr("Help..."), panel);
    Name(btnHelp, "btnHelp", tr("Help"));
    connect(btnHelp, &QPushButton::clicked, this, &TfrmList::ShowHelp);
    row->addWidget(lblHint_, 1);
    row->addWidget(btnHelp);
    layout->addLayout(row);
    lblTrayHint_->setWordWrap(true);
    lblTrayHint_->hide();
    Name(lblTrayHint_, "lblTrayHint", tr("How to get a tray"));
    layout->addWidget(lblTrayHint_);
    statusBar()->addWidget(panel, 1);
    statusBar()->setSizeGripEnabled(true);
}

void TfrmList::ShowHelp() {
    OpenHelpTopic("What_Is_Sievomatic");
}

void TfrmList::PROCloadRuleList() {
    const QScopedValueRollback loading(loading_, true);
    const std::vector<RuleRecord> rules = rule_store::LoadAll(RuleDefaults::kShown);
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(rules.size()));
    int rule = 0;
    for (const RuleRecord& record : rules)
        rows.append(new RuleListItem(record, ++rule));
    lstVRules_->setUpdatesEnabled(false);
    lstVRules_->clear();
    lstVRules_->addTopLevelItems(rows);  // the list owns the rows from here
    lstVRules_->setUpdatesEnabled(true);
}

void TfrmList::lstVRulesColumnClick(int column) {
    lstVRules_->sortItems(column, sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    sortAscending_ = !sortAscending_;
}

void TfrmList::lstVRulesChange(QTreeWidgetItem* item) {
    if (loading_)
        return;
    rule_store::SetActive(AsRuleItem(item)->Rule(), item->checkState(kColCriteria) == Qt::Checked);
}

void TfrmList::SelectRow(int position) {
    const int count = lstVRules_->topLevelItemCount();
    if (count == 0)
        return;
    QTreeWidgetItem* row = lstVRules_->topLevelItem(std::min(position, count - 1));
    lstVRules_->setCurrentItem(row);
    lstVRules_->scrollToItem(row);
}

void TfrmList::QuickAddAddress(const QString& address) {
    quickAddAddress_ = address;
    A1Click();
    quickAddAddress_.clear();
}

void TfrmList::A1Click() {
    FLBOOLCorPlaySound(sounds_, ProgramFile("newitem.wav"));
    {
        TfrmRuleWiz wizard(this);
        wizard.SetAddress(quickAddAddress_);
        wizard.SetSave([](const RuleRecord& record) { rule_store::Append(record); });
        wizard.exec();
    }
    PROCloadRuleList();
}

void TfrmList::N4Click() {
    QTreeWidgetItem* selected = lstVRules_->currentItem();
    if (!selected || !selected->isSelected()) {
        ShowUserMessage(this, tr("Please select an item to modify"));
        return;
    }
    const int position = lstVRules_->indexOfTopLevelItem(selected);
    const int rule = AsRuleItem(selected)->Rule();
    TfrmRuleProp dialog(this);
    dialog.PopulateMessageList();
    dialog.Load(rule_store::Load(rule, RuleDefaults::kShown));
    dialog.SetSave([rule](const RuleRecord& record) { rule_store::Save(rule, record); });
    if (dialog.exec() == QDialog::Accepted)
        PROCloadRuleList();
    SelectRow(position);
}

void TfrmList::D1Click() {
    QTreeWidgetItem* selected = lstVRules_->currentItem();
    if (!selected || !selected->isSelected()) {
        ShowUserMessage(this, tr("Please select an item to delete"));
        return;
    }
    const int position = lstVRules_->indexOfTopLevelItem(selected);
    // Taken before the question: a scan may refill the list while the question is open.
    const int rule = AsRuleItem(selected)->Rule();
    if (!AskUserYesNo(this, tr("Are you sure you want to delete this item?")) || deleting_)
        return;
    const QScopedValueRollback deleting(deleting_, true);
    QCoreApplication::processEvents();
    rule_store::Remove(rule);
    QCoreApplication::processEvents();
    PROCloadRuleList();
    SelectRow(position);
}

void TfrmList::MirrorAutoCheck(bool enabled) {
    setWindowTitle(enabled ? tr("Rule List - AutoCheck Enabled")
                           : tr("Rule List - AutoCheck Disabled"));
    (enabled ? mnuEnableAutoCheck_ : mnuDisableAutoCheck_)->setChecked(true);
    if (enabled)
        movie_->start();
    else {
        movie_->stop();
        movie_->jumpToFrame(0);  // a still picture while auto-check is off
    }
}

void TfrmList::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    MirrorAutoCheck(commands_.enableAutoCheck->isChecked());
    Guarded([this] { PROCloadRuleList(); });
}

void TfrmList::SetTrayMissing(bool missing, QMenu* menu) {
    trayMissing_ = missing;
    lblTrayHint_->setVisible(missing);
    lblTrayHint_->setText(
        tr("Your desktop shows no system tray, so Sievomatic keeps this window open instead. "
           "On GNOME, install and switch on the AppIndicator extension "
           "(gnome-shell-extension-appindicator) to get a tray."));
    if (missing && !fallbackMenu_) {
        fallbackMenu_ = menu;
        QAction* item = menuBar()->addMenu(menu);
        item->setText(tr("&Sievomatic"));
        item->setObjectName("mnuFallback");
    }
    if (fallbackMenu_)
        fallbackMenu_->menuAction()->setVisible(missing);
}

// Escape hides the window as "Close Window" does.
void TfrmList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QMainWindow::keyPressEvent(event);
}

void TfrmList::closeEvent(QCloseEvent* event) {
    if (!trayMissing_) {
        QMainWindow::closeEvent(event);
        return;
    }
    event->ignore();
    showMinimized();
}

void TfrmList::ExportSieveClick() {
    ExportRulesAsSieve(this);
}

void TfrmList::InstallSieveClick() {
    InstallRulesOnServer(this);
}

}  // namespace sievo
