#include "net/transcript.h"

#include "config/file_io.h"

namespace sievo {

void Transcript::Add(std::string_view line) {
    if (Enabled())
        lines_.emplace_back(line);
}

bool Transcript::Save() const {
    std::string text;
    for (const auto& line : lines_)
        text.append(line).append("\n");
    return WriteFileAtomically(fileName, text);
}

}  // namespace sievo
