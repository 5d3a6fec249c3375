#pragma once

#include <optional>
#include <string>
#include <vector>

namespace script {

// One word of a script line: a bare word, or a text that was written in double quotes.
struct ScriptWord {
    std::string text;
    bool quoted = false;
};

// One command line of a script: the command word and its arguments, with the line number.
struct ScriptLine {
    int number = 0;
    std::string command;
    std::vector<ScriptWord> words;

    // Splits one line into words. Blanks separate words; `#` outside quotes starts a comment;
    // a quoted text keeps its blanks and `#`, and reads `\"`, `\\` and `\n` as escapes. None for
    // a blank or comment line. On bad quoting: none, with `error` set.
    static std::optional<ScriptLine> parse(const std::string& text, int number, std::string& error);
};

}  // namespace script
