#pragma once

#include <string>

class QComboBox;
class QWidget;

namespace sievo {

// A drop-down of the connection securities None, SSL/TLS and STARTTLS, each holding the
// text the account stores ("NONE", "SSL", "STARTTLS").
QComboBox* NewSecurityBox(const char* objectName, QWidget* parent);
// Selects the stored text in any case; anything unknown selects None.
void SelectSecurity(QComboBox* box, const std::string& key);
std::string SecurityKey(const QComboBox* box);

}  // namespace sievo
