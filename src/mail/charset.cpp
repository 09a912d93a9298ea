#include "mail/charset.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

#include "config/text.h"

namespace sievo {

namespace {

struct IconvCloser {
    void operator()(iconv_t handle) const { iconv_close(handle); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

bool IsUtf8Name(std::string_view name) {
    const std::string upper = ToUpperAscii(name);
    return upper == "UTF-8" || upper == "UTF8";
}

// RFC 2231 lets a charset carry a language after "*" ("utf-8*en"); iconv knows no such name.
std::string_view BareCharset(std::string_view charset) {
    return TrimBlanks(charset.substr(0, charset.find('*')));
}

}  // namespace

std::string ConvertToUtf8(std::string_view bytes, std::string_view charset) {
    const std::string name(BareCharset(charset));
    if (bytes.empty() || name.empty() || IsUtf8Name(name))
        return std::string(bytes);
    IconvHandle handle(iconv_open("UTF-8", name.c_str()));
    if (handle.get() == reinterpret_cast<iconv_t>(-1)) {
        handle.release();  // nothing was opened
        return std::string(bytes);
    }
    std::string input(bytes);
    // No charset takes more than four UTF-8 bytes for one input byte.
    std::string output(input.size() * 4 + 4, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const std::size_t result = iconv(handle.get(), &in, &inLeft, &out, &outLeft);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::string(bytes);
    output.resize(output.size() - outLeft);
    return output;
}

}  // namespace sievo
