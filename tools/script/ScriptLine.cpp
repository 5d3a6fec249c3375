#include "tools/script/ScriptLine.h"

namespace script {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

int hexadecimal(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The byte of "\xHH" whose "x" is at text[i]; leaves i at its last digit.
bool readByte(const std::string& text, std::size_t& i, std::string& out) {
    if (i + 2 >= text.size()) return false;
    const int high = hexadecimal(text[i + 1]), low = hexadecimal(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
    return true;
}

// Reads the quoted text that starts at text[i] (the opening quote); leaves i after the closing quote.
bool readQuoted(const std::string& text, std::size_t& i, std::string& out, std::string& error) {
    for (++i; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            ++i;
            if (i < text.size() && !isBlank(text[i]) && text[i] != '#') {
                error = "a quoted text must be followed by a blank";
                return false;
            }
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == text.size()) break;
        switch (text[i]) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case 'n': out += '\n'; break;
            case 'x':
                if (!readByte(text, i, out)) {
                    error = "\\x takes two hexadecimal digits";
                    return false;
                }
                break;
            default: error = std::string("unknown escape \\") + text[i]; return false;
        }
    }
    error = "unclosed quote";
    return false;
}

}  // namespace

std::optional<ScriptLine> ScriptLine::parse(const std::string& text, int number, std::string& error) {
    std::vector<ScriptWord> words;
    std::size_t i = 0;
    while (i < text.size()) {
        if (isBlank(text[i])) {
            ++i;
            continue;
        }
        if (text[i] == '#') break;
        ScriptWord word;
        if (text[i] == '"') {
            word.quoted = true;
            if (!readQuoted(text, i, word.text, error)) return std::nullopt;
        } else {
            while (i < text.size() && !isBlank(text[i]) && text[i] != '#') {
                if (text[i] == '"') {
                    error = "a quote inside a word";
                    return std::nullopt;
                }
                word.text += text[i++];
            }
        }
        words.push_back(std::move(word));
    }
    if (words.empty()) return std::nullopt;
    if (words.front().quoted) {
        error = "a line starts with a command word, not a quoted text";
        return std::nullopt;
    }
    ScriptLine line;
    line.number = number;
    line.command = words.front().text;
    line.words.assign(words.begin() + 1, words.end());
    return line;
}

}  // namespace script
