#include "mail/authentication_results.h"

#include "config/text.h"

namespace sievo {

namespace {

// A word, a quoted string or one of the separators ';', '=' and '/'.
struct Token {
    std::string text;
    char separator = 0;
};

bool IsSeparator(char c) {
    return c == ';' || c == '=' || c == '/';
}

bool EndsWord(char c) {
    return static_cast<unsigned char>(c) <= ' ' || IsSeparator(c) || c == '(' || c == '"';
}

// Skips a comment that starts at `i`, nested comments and quoted pairs included; an
// unclosed one runs to the end of the field.
std::size_t SkipComment(std::string_view text, std::size_t i) {
    int depth = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == '(')
            ++depth;
        else if (text[i] == ')' && --depth == 0)
            return i + 1;
    }
    return text.size();
}

// Reads a quoted string that starts at `i` into `out`; answers the position after it.
std::size_t ReadQuoted(std::string_view text, std::size_t i, std::string& out) {
    for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return i + 1;
}

std::vector<Token> Tokens(std::string_view text) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) <= ' ') {
            ++i;
        } else if (c == '(') {
            i = SkipComment(text, i);
        } else if (IsSeparator(c)) {
            tokens.push_back({{}, c});
            ++i;
        } else if (c == '"') {
            tokens.emplace_back();
            i = ReadQuoted(text, i, tokens.back().text);
        } else {
            const std::size_t start = i;
            while (i < text.size() && !EndsWord(text[i]))
                ++i;
            tokens.push_back({std::string(text.substr(start, i - start))});
        }
    }
    return tokens;
}

bool IsWord(const std::vector<Token>& tokens, std::size_t i) {
    return i < tokens.size() && tokens[i].separator == 0;
}

bool IsSeparatorToken(const std::vector<Token>& tokens, std::size_t i, char separator) {
    return i < tokens.size() && tokens[i].separator == separator;
}

// "method [/ version] = result" at the start of one part between semicolons.
void AddMethodResult(const std::vector<Token>& tokens, std::size_t i,
                     AuthenticationResults& results) {
    if (!IsWord(tokens, i))
        return;
    const std::string method = ToLowerAscii(tokens[i].text);
    ++i;
    if (IsSeparatorToken(tokens, i, '/'))
        i += 2;
    if (IsSeparatorToken(tokens, i, '=') && IsWord(tokens, i + 1))
        results.results.push_back({method, ToLowerAscii(tokens[i + 1].text)});
}

}  // namespace

AuthenticationResults ParseAuthenticationResults(std::string_view value) {
    const std::vector<Token> tokens = Tokens(value);
    AuthenticationResults results;
    // Microsoft's servers leave out the authserv-id and begin with the first result.
    if (IsSeparatorToken(tokens, 1, '=') || IsSeparatorToken(tokens, 1, '/'))
        AddMethodResult(tokens, 0, results);
    else if (IsWord(tokens, 0))
        results.authservId = tokens[0].text;
    for (std::size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].separator == ';')
            AddMethodResult(tokens, i + 1, results);
    return results;
}

}  // namespace sievo
