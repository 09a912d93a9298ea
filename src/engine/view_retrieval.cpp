#include "engine/view_retrieval.h"

#include <QScopeGuard>
#include <filesystem>

#include "config/data_folder.h"
#include "config/errors.h"
#include "mail/ms_remote_pop.h"

namespace sievo {

std::string RetrieveForViewing(TmsRemotePOP& client, int index) {
    const std::string folder = client.MessageDirectory();
    const auto restore = qScopeGuard([&] { client.SetMessageDirectory(folder); });
    client.SetMessageDirectory(ProgramFolder());
    const std::string viewed = ProgramFile("msg_" + std::to_string(index) + ".eml");
    // Only a view leaves a file of this name here; the client would otherwise keep it and
    // write the new one beside it, and the old one would be shown.
    std::error_code error;
    std::filesystem::remove(viewed, error);
    if (error)
        throw Exception("Cannot create file \"" + viewed + "\"");
    client.RetrieveMessage(index);
    return viewed;
}

}  // namespace sievo
