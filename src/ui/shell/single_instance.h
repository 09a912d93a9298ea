#pragma once

#include <QLocalServer>
#include <functional>
#include <string>
#include <vector>

namespace sievo {

// One running program per data folder: a later start hands its command line to the
// running one through a local socket named after the data folder.
class SingleInstance {
public:
    SingleInstance();

    // True when a running program took the parameters; the caller then ends.
    bool HandOver(const std::vector<std::string>& parameters) const;

    // Where the running program listens.
    const QString& Name() const { return name_; }

    // Listens for later starts; onStart receives each one's parameters.
    void Listen(std::function<void(const std::vector<std::string>&)> onStart);

private:
    void ReadStart();

    QString name_;
    QLocalServer server_;
    std::function<void(const std::vector<std::string>&)> onStart_;
};

}  // namespace sievo
