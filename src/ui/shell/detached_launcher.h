#pragma once

#include "engine/launcher.h"

namespace sievo {

// Starts programs detached from this one, with an argument list and never through a shell.
class DetachedLauncher : public Launcher {
public:
    bool StartProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override;
};

}  // namespace sievo
