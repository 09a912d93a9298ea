#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <string>

namespace sievo::bench {

// The desktop of the window benchmarks: the offscreen platform (unless another was asked
// for) and a fresh data folder, both in place before the application starts.
class OffscreenDesktop {
public:
    OffscreenDesktop(int& argc, char** argv) : environment_(home_), app_(argc, argv) {}

    // The data folder, with its trailing "/".
    std::string Folder() const { return home_.path().toStdString() + "/"; }

private:
    struct Environment {
        explicit Environment(const QTemporaryDir& home) {
            if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            qputenv("SIEVOMATIC_HOME", home.path().toUtf8());
        }
    };

    QTemporaryDir home_;
    Environment environment_;
    QApplication app_;
};

}  // namespace sievo::bench
