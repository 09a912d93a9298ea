#pragma once

#include <QtGlobal>
#include <cstddef>

namespace sievo::mail_limits {

// Names, addresses, subjects and attachment types have always been short strings; rules,
// lists and dialogs rely on them never growing beyond this many bytes.
inline constexpr std::size_t kShortText = 255;

// The encoder refuses to wrap a paragraph this long: the program's own texts (replies,
// reports) never come near it, so reaching it means the message is not what it seems.
inline constexpr std::size_t kEncoderParagraph = 24576;

// Quoted-printable lines are wrapped at this many source bytes before escaping.
inline constexpr std::size_t kQuotedPrintableWidth = 65;

// Base64 writes 57 bytes a line: 76 characters, the longest line MIME allows.
inline constexpr std::size_t kBase64GroupBytes = 57;

// Uuencode writes 45 bytes a line, the group size every uudecoder expects.
inline constexpr std::size_t kUuencodeGroupBytes = 45;

// A multipart boundary is this many random digits.
inline constexpr std::size_t kBoundaryDigits = 8;

// An encoded word's charset is a short registered name; a longer one is not an encoded word.
inline constexpr std::size_t kCharsetNameMax = 64;

// What the POP3 listing keeps of what a server sends. A server can send without end; these
// bound the memory of a check while leaving room for every ordinary mailbox.

// Each line kept in memory costs a string of its own beyond its bytes; header blocks are
// counted as their bytes plus this much for every line.
inline constexpr qint64 kKeptLineCostBytes = 32;

// Ordinary mail has a few kilobytes of header. A header block (the reply to "TOP n 1")
// that costs more than this is not kept: the message is listed without headers and no
// rule judges it, so it is never deleted on the strength of a block that was cut.
inline constexpr qint64 kMaxHeaderBlockBytes = 1024 * 1024;

// All header blocks of one listing together, counted as above: room for some twenty
// thousand ordinary messages. Blocks beyond it are treated as too large.
inline constexpr qint64 kMaxListingHeaderBytes = 48 * 1024 * 1024;

// Messages one listing takes in; of a mailbox announcing more, the first this many.
inline constexpr int kMaxListedMessages = 100000;

// A line of a multi-line LIST or UIDL reply: a message number, a blank and a size or an
// id of at most 70 characters, with room to spare. Those replies may hold this much for
// each message; a longer one is read to its end and treated as refused.
inline constexpr qint64 kListingLineBytes = 128;

// A CAPA reply names a dozen capabilities; a longer one is read and treated as refused.
inline constexpr qint64 kMaxCapabilityBytes = 64 * 1024;

// A retrieved message is held in memory, and copied once on its way to the file: larger
// ones are read to their end and refused, so a check stays well within 100 MB.
inline constexpr qint64 kMaxRetrievedMessageBytes = 24 * 1024 * 1024;

// An IMAP literal larger than the limit of what it carries (a header block, a message) is
// read to its end and dropped, keeping the session in step; one announced larger than this
// is not read at all: the connection ends, as no honest reply is that long.
inline constexpr qint64 kMaxSkippedLiteralBytes = 64 * 1024 * 1024;

// Literals in replies other than FETCH (folder names, texts) are short.
inline constexpr qint64 kMaxCommandLiteralBytes = 64 * 1024;

// A command's message set is kept to this many characters, well below the line lengths
// servers accept; longer sets go in several commands sent together.
inline constexpr std::size_t kMaxUidSetChars = 4000;

}  // namespace sievo::mail_limits
