#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mail/attachment.h"

namespace sievo {

// How the lines of one body or part are encoded, by its Content-Transfer-Encoding.
enum class PartEncoding { Plain, Base64, QuotedPrintable, Uuencode };

PartEncoding PartEncodingOf(std::string_view contentTransferEncoding);

// The attachment encoding that a part of this encoding keeps when written again.
TAttEncoding AttEncodingOf(PartEncoding encoding);

// The bytes that the lines of one part stand for. Base64 ends at a line holding a single
// dot; uuencode skips its "begin", "`" and "end" lines; plain lines each get CR LF.
std::string DecodePartLines(const std::vector<std::string>& lines, PartEncoding encoding);

// "begin 600 name": "BEGIN" in any case, then a number among the next three characters.
bool IsUuencodeBegin(std::string_view line);

// The file name of a uuencode "begin" line, in double quotes or up to the first blank.
std::string UuencodeFileName(std::string_view beginLine);

// A received name without any folder and without control characters, so that it can never
// point outside where it is saved nor upset a terminal or a file dialog.
std::string ReceivedFileName(std::string_view name);

}  // namespace sievo
