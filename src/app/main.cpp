#include <QCoreApplication>
#include <string>
#include <vector>

#include "app/headless.h"
#include "app/stop_signals.h"
#include "ui/windowed_program.h"

int main(int argc, char** argv) {
    sievo::IgnoreFileSizeSignal();
    if (sievo::WindowsWanted())
        return sievo::RunWindowed(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Corvane Sievomatic");
    const std::vector<std::string> parameters(argv + 1, argv + argc);
    return sievo::RunHeadless(parameters);
}
