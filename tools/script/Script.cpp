#include "tools/script/Script.h"

#include <fstream>
#include <sstream>

namespace script {

std::optional<Script> Script::read(const std::filesystem::path& file, ScriptProblem& problem) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        problem = {0, "cannot read the file"};
        return std::nullopt;
    }
    std::stringstream text;
    text << in.rdbuf();
    return parse(text.str(), file.string(), problem);
}

std::optional<Script> Script::parse(const std::string& text, const std::string& name, ScriptProblem& problem) {
    Script script;
    script.name = name;
    std::istringstream in(text);
    std::string row;
    for (int number = 1; std::getline(in, row); ++number) {
        std::string error;
        auto line = ScriptLine::parse(row, number, error);
        if (!error.empty()) {
            problem = {number, error};
            return std::nullopt;
        }
        if (line) script.lines.push_back(std::move(*line));
    }
    return script;
}

}  // namespace script
