#include "ui/rules/rule_list_item.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <array>
#include <string_view>

#include "store/rule_store.h"

namespace sievo {

namespace {

struct CriterionLook {
    std::string_view keyword;
    const char* caption;
    const char* icon;
    // What the Value column shows for an empty value; empty: nothing.
    const char* emptyValue;
};

constexpr std::array<CriterionLook, 8> kCriteria{{
    {"FROM", QT_TRANSLATE_NOOP("TfrmList", "From e-mail Address / Domain"), "rule-from", ""},
    {"LIST", QT_TRANSLATE_NOOP("TfrmList", "Matches Known Spammer List"), "rule-list", "N/A"},
    {"HEADER", QT_TRANSLATE_NOOP("TfrmList", "Header Contains"), "rule-header", ""},
    {"SUBCONT", QT_TRANSLATE_NOOP("TfrmList", "Subject Contains"), "rule-subject", ""},
    {"FROMNUM", QT_TRANSLATE_NOOP("TfrmList", "From user that is a number"), "rule-number", "N/A"},
    {"AUTHFAIL", QT_TRANSLATE_NOOP("TfrmList", "Sender Failed Authentication"), "rule-auth",
     "dmarc"},
    {"SPAMFLAG", QT_TRANSLATE_NOOP("TfrmList", "Marked as Spam by the Server"), "rule-spamflag",
     "flag only"},
    {"DNSBL", QT_TRANSLATE_NOOP("TfrmList", "Sending Host on DNS Blocklist"), "rule-dnsbl", ""},
}};

const CriterionLook* LookOf(std::string_view keyword) {
    for (const CriterionLook& look : kCriteria)
        if (look.keyword == keyword)
            return &look;
    return nullptr;
}

// Made once: a refill of a thousand rows should not load an icon a thousand times.
const QIcon& CriterionIcon(const CriterionLook* look) {
    static std::array<QIcon, kCriteria.size()> icons;
    static const QIcon unknown = qApp->style()->standardIcon(QStyle::SP_MessageBoxWarning);
    if (!look)
        return unknown;
    QIcon& icon = icons[static_cast<std::size_t>(look - kCriteria.data())];
    if (icon.isNull())
        icon = QIcon(QString(":/defaults/icons/%1.svg").arg(look->icon));
    return icon;
}

}  // namespace

QString FSTRMyBooltoString(bool value) {
    return value ? QObject::tr("Yes") : QObject::tr("No");
}

RuleListItem::RuleListItem(const RuleRecord& record, int rule) {
    const CriterionLook* look = LookOf(record.Criteria);
    const std::string value = record.Value.empty() && look ? look->emptyValue : record.Value;
    // A keyword the program does not know is shown as it stands, marked with a warning.
    setText(kColCriteria, look ? QCoreApplication::translate("TfrmList", look->caption)
                               : QString::fromStdString(record.Criteria));
    setIcon(kColCriteria, CriterionIcon(look));
    setData(kColCriteria, Qt::UserRole, rule);
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    setCheckState(kColCriteria, record.Active ? Qt::Checked : Qt::Unchecked);
    setText(kColValue, QString::fromStdString(value));
    const std::pair<RuleColumn, bool> switches[] = {
        {kColDelete, record.DeleteAction}, {kColBeep, record.Beep},
        {kColReply, record.Reply},         {kColReport, record.Report},
        {kColConfirm, record.Confirm},     {kColRecycle, record.SendtoRecycle},
    };
    for (const auto& [column, on] : switches)
        setText(column, FSTRMyBooltoString(on));
    setText(kColHits, QString::number(record.NumHits));
}

int RuleListItem::Rule() const {
    return data(kColCriteria, Qt::UserRole).toInt();
}

bool RuleListItem::operator<(const QTreeWidgetItem& other) const {
    const int column = treeWidget() ? treeWidget()->sortColumn() : kColCriteria;
    if (column == kColHits)
        return text(column).toLongLong() < other.text(column).toLongLong();
    return QString::localeAwareCompare(text(column), other.text(column)) < 0;
}

}  // namespace sievo
