#include <QCoreApplication>
#include <iostream>

#include "app/default_files.h"
#include "config/data_folder.h"
#include "config/errors.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Corvane Sievomatic");
    try {
        sievo::InstallDefaultFiles();
        std::cout << "Usage: sievomatic [/SINGLEPASS]\n"
                     "  /SINGLEPASS   check every active account once, then end\n"
                     "This build holds the data stores only; checking mail comes next.\n"
                     "Data folder: "
                  << sievo::ProgramFolder() << '\n';
    } catch (const sievo::Exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
