#include "ui/shell/detached_launcher.h"

#include <QProcess>

namespace sievo {

bool DetachedLauncher::StartProgram(const std::string& program,
                                    const std::vector<std::string>& arguments) {
    QStringList list;
    for (const auto& argument : arguments)
        list.append(QString::fromStdString(argument));
    return QProcess::startDetached(QString::fromStdString(program), list);
}

}  // namespace sievo
