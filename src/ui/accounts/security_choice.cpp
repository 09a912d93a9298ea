#include "ui/accounts/security_choice.h"

#include <QComboBox>
#include <QCoreApplication>

#include "config/text.h"

namespace sievo {

namespace {

struct Choice {
    const char* key;
    const char* text;
};
constexpr Choice kChoices[] = {
    {"NONE", QT_TRANSLATE_NOOP("SecurityChoice", "None")},
    {"SSL", QT_TRANSLATE_NOOP("SecurityChoice", "SSL/TLS")},
    {"STARTTLS", QT_TRANSLATE_NOOP("SecurityChoice", "STARTTLS")},
};

}  // namespace

QComboBox* NewSecurityBox(const char* objectName, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(objectName);
    for (const Choice& choice : kChoices)
        box->addItem(QCoreApplication::translate("SecurityChoice", choice.text),
                     QString::fromLatin1(choice.key));
    return box;
}

void SelectSecurity(QComboBox* box, const std::string& key) {
    const int index = box->findData(QString::fromStdString(ToUpperAscii(key)));
    box->setCurrentIndex(index < 0 ? 0 : index);
}

std::string SecurityKey(const QComboBox* box) {
    return box->currentData().toString().toStdString();
}

}  // namespace sievo
