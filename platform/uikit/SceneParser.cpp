#include "platform/uikit/SceneParser.h"

#include "platform/uikit/Control.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

namespace uikit {

namespace {

using ViewNode = SceneDescription::ViewNode;

bool parseNumber(const std::string& text, double& out) {
    char* stop = nullptr;
    out = std::strtod(text.c_str(), &stop);
    return !text.empty() && stop == text.c_str() + text.size();
}

bool parseRect(const std::string& text, Rect& out) {
    double v[4];
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        std::size_t end = i < 3 ? text.find(',', start) : text.size();
        if (end == std::string::npos || !parseNumber(text.substr(start, end - start), v[i])) return false;
        start = end + 1;
    }
    out = Rect(v[0], v[1], v[2], v[3]);
    return true;
}

// "column,row" or "column,row,columns,rows", whole numbers.
bool parseCell(const std::string& text, Rect& out) {
    std::string full = text;
    if (std::count(text.begin(), text.end(), ',') == 1) full += ",1,1";
    if (!parseRect(full, out)) return false;
    for (double v : {out.origin.x, out.origin.y, out.size.width, out.size.height})
        if (v != static_cast<int>(v) || v < 0) return false;
    return out.size.width >= 1 && out.size.height >= 1;
}

// "columns x rows".
bool parseGrid(const std::string& text, SceneDescription::Grid& out) {
    auto x = text.find('x');
    double columns = 0, rows = 0;
    if (x == std::string::npos || !parseNumber(text.substr(0, x), columns) || !parseNumber(text.substr(x + 1), rows))
        return false;
    if (columns < 1 || rows < 1 || columns != static_cast<int>(columns) || rows != static_cast<int>(rows)) return false;
    out.columns = static_cast<int>(columns);
    out.rows = static_cast<int>(rows);
    return true;
}

std::optional<unsigned> eventsNamed(const std::string& name) {
    static const std::map<std::string, unsigned> events = {
        {"touchDown", ControlEventTouchDown},         {"touchUpInside", ControlEventTouchUpInside},
        {"touchUpOutside", ControlEventTouchUpOutside}, {"touchCancel", ControlEventTouchCancel},
        {"valueChanged", ControlEventValueChanged},   {"allTouchEvents", ControlEventAllTouchEvents},
    };
    auto it = events.find(name);
    if (it == events.end()) return std::nullopt;
    return it->second;
}

std::optional<LayoutAttribute> attributeNamed(const std::string& name) {
    static const std::map<std::string, LayoutAttribute> attributes = {
        {"left", LayoutAttribute::left},       {"right", LayoutAttribute::right},
        {"top", LayoutAttribute::top},         {"bottom", LayoutAttribute::bottom},
        {"leading", LayoutAttribute::leading}, {"trailing", LayoutAttribute::trailing},
        {"width", LayoutAttribute::width},     {"height", LayoutAttribute::height},
        {"centerX", LayoutAttribute::centerX}, {"centerY", LayoutAttribute::centerY},
    };
    auto it = attributes.find(name);
    if (it == attributes.end()) return std::nullopt;
    return it->second;
}

// "item.attribute" or "item.safeArea.attribute".
bool parseAnchor(const std::string& text, SceneDescription::AnchorName& out) {
    auto dot = text.find('.');
    if (dot == std::string::npos || dot == 0) return false;
    out.item = text.substr(0, dot);
    std::string rest = text.substr(dot + 1);
    const std::string guide = "safeArea.";
    out.safeArea = rest.compare(0, guide.size(), guide) == 0;
    if (out.safeArea) rest = rest.substr(guide.size());
    auto attribute = attributeNamed(rest);
    if (!attribute) return false;
    out.attribute = *attribute;
    return true;
}

// Splits a line into words; quoted parts keep their spaces. False on an unclosed quote.
bool splitWords(const std::string& line, std::vector<std::string>& words) {
    std::string word;
    bool inQuotes = false, any = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (inQuotes) {
            if (c == '\\' && i + 1 < line.size()) word += line[++i];
            else if (c == '"') inQuotes = false;
            else word += c;
        } else if (c == '"') {
            inQuotes = true;
            any = true;
        } else if (c == ' ' || c == '\t') {
            if (any || !word.empty()) words.push_back(word);
            word.clear();
            any = false;
        } else if (c == '#' && word.empty() && !any) {
            break;
        } else {
            word += c;
        }
    }
    if (inQuotes) return false;
    if (any || !word.empty()) words.push_back(word);
    return true;
}

class Parser {
public:
    Parser(const std::string& source, std::string& error) : source_(source), error_(error) {}

    std::optional<SceneParser::Result> run(const std::string& text) {
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            ++number_;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!parseLine(line)) return std::nullopt;
        }
        if (!result_.initial.empty()) {
            for (const auto& s : result_.scenes)
                if (s.identifier == result_.initial) return std::move(result_);
            error_ = source_ + ": the initial scene \"" + result_.initial + "\" does not exist";
            return std::nullopt;
        }
        return std::move(result_);
    }

private:
    bool fail(const std::string& message) {
        error_ = source_ + ", line " + std::to_string(number_) + ": " + message;
        return false;
    }

    bool parseLine(const std::string& line) {
        std::size_t indent = line.find_first_not_of(' ');
        if (indent == std::string::npos || line[indent] == '#') return true;
        if (line.find('\t') != std::string::npos && line.find('\t') < indent)
            return fail("tabs are not allowed for indentation");
        std::vector<std::string> words;
        if (!splitWords(line.substr(indent), words)) return fail("unclosed quote");
        if (words.empty()) return true;
        const std::string& keyword = words[0];
        if (keyword == "initial") {
            if (indent != 0 || words.size() != 2) return fail("expected: initial <scene identifier>");
            result_.initial = words[1];
            return true;
        }
        if (keyword == "scene") return parseScene(indent, words);
        if (keyword != "view" && keyword != "gesture" && keyword != "constraint")
            return fail("unknown keyword \"" + keyword + "\"");
        if (result_.scenes.empty()) return fail("a " + keyword + " outside any scene");
        if (indent % 2 != 0 || indent < 2) return fail(keyword + "s are indented by two spaces per level");
        if (keyword == "constraint") return parseConstraint(words);
        std::size_t depth = indent / 2 - 1;
        if (keyword == "gesture") return parseGesture(depth, words);
        return parseView(depth, words);
    }

    bool parseScene(std::size_t indent, const std::vector<std::string>& words) {
        if (indent != 0 || words.size() != 3) return fail("expected: scene <identifier> <controller class>");
        for (const auto& s : result_.scenes)
            if (s.identifier == words[1]) return fail("scene \"" + words[1] + "\" appears twice");
        SceneDescription scene;
        scene.identifier = words[1];
        scene.controllerClass = words[2];
        scene.line = number_;
        result_.scenes.push_back(std::move(scene));
        open_.clear();
        return true;
    }

    // The view that a line at `depth` belongs to (its parent for views, its view for gestures).
    ViewNode* parentAt(std::size_t depth) {
        if (depth == 0 || depth > open_.size()) return nullptr;
        return open_[depth - 1];
    }

    bool parseView(std::size_t depth, const std::vector<std::string>& words) {
        if (words.size() < 2) return fail("expected: view <class> [key=value ...]");
        ViewNode node;
        node.className = words[1];
        node.line = number_;
        for (std::size_t i = 2; i < words.size(); ++i)
            if (!parseViewAttribute(words[i], node)) return false;
        if (node.events && node.action.empty()) return fail("an event without an action");
        SceneDescription& scene = result_.scenes.back();
        if (depth == 0) {
            if (scene.root) return fail("scene \"" + scene.identifier + "\" has a second root view");
            if (node.when) return fail("the root view is in every size class");
            scene.root = std::move(node);
            open_.assign(1, &*scene.root);
            return true;
        }
        ViewNode* parent = parentAt(depth);
        if (parent == nullptr) return fail("indented deeper than its parent allows");
        parent->children.push_back(std::move(node));
        open_.resize(depth);
        open_.push_back(&parent->children.back());
        return true;
    }

    bool parseViewAttribute(const std::string& word, ViewNode& node) {
        auto eq = word.find('=');
        if (eq == std::string::npos || eq == 0) return fail("expected key=value, found \"" + word + "\"");
        std::string key = word.substr(0, eq), value = word.substr(eq + 1);
        std::optional<SizeClassCondition> when;
        if (auto at = key.find('@'); at != std::string::npos) {
            when = SizeClassCondition::parse(key.substr(at + 1));
            if (!when) return fail("bad size classes \"" + key.substr(at + 1) + "\" (expected e.g. wC+hR or wR|hC)");
            key = key.substr(0, at);
            if (key != "frame" && key != "rframe" && key != "cell" && key != "grid")
                return fail("only frame, rframe, cell and grid vary by size class, not \"" + key + "\"");
        }
        if (key == "frame" || key == "rframe" || key == "cell") {
            SceneDescription::Geometry geometry;
            geometry.when = when;
            geometry.kind = key == "frame"    ? SceneDescription::Geometry::Kind::frame
                            : key == "rframe" ? SceneDescription::Geometry::Kind::relative
                                              : SceneDescription::Geometry::Kind::cell;
            bool ok = key == "cell" ? parseCell(value, geometry.rect) : parseRect(value, geometry.rect);
            if (!ok && key == "cell") return fail("bad cell \"" + value + "\" (expected column,row[,columns,rows])");
            if (!ok) return fail("bad " + key + " \"" + value + "\" (expected x,y,width,height)");
            node.geometry.push_back(geometry);
        } else if (key == "grid") {
            SceneDescription::Grid grid;
            grid.when = when;
            if (!parseGrid(value, grid)) return fail("bad grid \"" + value + "\" (expected columnsxrows, e.g. 4x5)");
            node.grids.push_back(grid);
        } else if (key == "when") {
            node.when = SizeClassCondition::parse(value);
            if (!node.when) return fail("bad size classes \"" + value + "\" (expected e.g. wC+hR or wR|hC)");
        } else if (key == "id") {
            node.id = value;
        } else if (key == "outlet") {
            node.outlet = value;
        } else if (key == "collection") {
            node.collections.push_back(value);
        } else if (key == "action") {
            node.action = value;
        } else if (key == "event") {
            node.events = eventsNamed(value);
            if (!node.events) return fail("unknown event \"" + value + "\"");
        } else {
            node.properties.emplace_back(key, value);
        }
        return true;
    }

    bool parseGesture(std::size_t depth, const std::vector<std::string>& words) {
        if (words.size() < 2) return fail("expected: gesture <class> [outlet=name] [action=name]");
        ViewNode* view = parentAt(depth);
        if (view == nullptr) return fail("a gesture belongs to the view one level above it");
        SceneDescription::GestureNode gesture;
        gesture.className = words[1];
        gesture.line = number_;
        for (std::size_t i = 2; i < words.size(); ++i) {
            auto eq = words[i].find('=');
            std::string key = eq == std::string::npos ? words[i] : words[i].substr(0, eq);
            std::string value = eq == std::string::npos ? "" : words[i].substr(eq + 1);
            if (key == "outlet" && !value.empty()) gesture.outlet = value;
            else if (key == "action" && !value.empty()) gesture.action = value;
            else return fail("a gesture takes outlet=name and action=name, not \"" + words[i] + "\"");
        }
        view->gestures.push_back(std::move(gesture));
        open_.resize(depth);  // a later, deeper view line cannot be its child
        return true;
    }

    // constraint first = [second [* multiplier]] [+|- constant] [priority=p] [outlet=name] [when=...]
    bool parseConstraint(const std::vector<std::string>& words) {
        const std::string usage =
            "expected: constraint item.attribute = [item.attribute [* m]] [+|- c] [key=value ...]";
        SceneDescription::ConstraintNode c;
        c.line = number_;
        if (words.size() < 4 || words[2] != "=" || !parseAnchor(words[1], c.first)) return fail(usage);
        std::size_t i = 3;
        double number = 0;
        if (parseNumber(words[i], number)) {
            c.constant = number;
            ++i;
        } else {
            SceneDescription::AnchorName second;
            if (!parseAnchor(words[i], second)) return fail(usage);
            c.second = second;
            ++i;
            if (i + 1 < words.size() && words[i] == "*") {
                if (!parseNumber(words[i + 1], c.multiplier)) return fail(usage);
                i += 2;
            }
            if (i + 1 < words.size() && (words[i] == "+" || words[i] == "-")) {
                if (!parseNumber(words[i + 1], c.constant)) return fail(usage);
                if (words[i] == "-") c.constant = -c.constant;
                i += 2;
            }
        }
        for (; i < words.size(); ++i) {
            auto eq = words[i].find('=');
            if (eq == std::string::npos) return fail(usage);
            std::string key = words[i].substr(0, eq), value = words[i].substr(eq + 1);
            if (key == "priority" && parseNumber(value, number) && number > 0 && number <= 1000) {
                c.priority = static_cast<float>(number);
            } else if (key == "outlet" && !value.empty()) {
                c.outlet = value;
            } else if (key == "when" && (c.when = SizeClassCondition::parse(value))) {
            } else {
                return fail("bad constraint setting \"" + words[i] + "\"");
            }
        }
        bool size = c.first.attribute == LayoutAttribute::width || c.first.attribute == LayoutAttribute::height;
        if (!c.second && !size) return fail("a constant alone sets only a width or a height");
        if (c.first.safeArea) return fail("a safe-area guide cannot be the first item of a constraint");
        result_.scenes.back().constraints.push_back(std::move(c));
        return true;
    }

    const std::string& source_;
    std::string& error_;
    int number_ = 0;
    SceneParser::Result result_;
    // The chain of open views, by depth (0: the scene's root view).
    std::vector<ViewNode*> open_;
};

}  // namespace

std::optional<SceneParser::Result> SceneParser::parse(const std::string& text, const std::string& source,
                                                      std::string& error) {
    return Parser(source, error).run(text);
}

}  // namespace uikit
