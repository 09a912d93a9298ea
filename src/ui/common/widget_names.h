#pragma once

#include <QString>
#include <QWidget>

namespace sievo {

// Gives a window or control the name tests and scripts find it by and the name screen
// readers announce.
inline void Name(QWidget* widget, const char* objectName, const QString& accessibleName) {
    widget->setObjectName(objectName);
    widget->setAccessibleName(accessibleName);
}

}  // namespace sievo
