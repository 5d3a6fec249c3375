#include "tools/script/ScriptLine.h"

namespace script {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

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
