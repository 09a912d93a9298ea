#include <QCoreApplication>
#include <string>
#include <vector>

#include "app/headless.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Corvane Sievomatic");
    const std::vector<std::string> parameters(argv + 1, argv + argc);
    return sievo::RunHeadless(parameters);
}
