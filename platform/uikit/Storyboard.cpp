#include "platform/uikit/Storyboard.h"

#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/View.h"
#include "platform/uikit/ViewController.h"

#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

namespace uikit {

namespace {
std::optional<std::filesystem::path>& chosenDirectory() {
    static std::optional<std::filesystem::path> directory;
    return directory;
}

bool parseRect(const std::string& text, Rect& out) {
    double v[4];
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        std::size_t end = i < 3 ? text.find(',', start) : text.size();
        if (end == std::string::npos) return false;
        std::string part = text.substr(start, end - start);
        char* stop = nullptr;
        v[i] = std::strtod(part.c_str(), &stop);
        if (part.empty() || stop != part.c_str() + part.size()) return false;
        start = end + 1;
    }
    out = Rect(v[0], v[1], v[2], v[3]);
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
}  // namespace

void Storyboard::setDirectory(std::optional<std::filesystem::path> directory) { chosenDirectory() = std::move(directory); }

std::filesystem::path Storyboard::directory() {
    if (chosenDirectory()) return *chosenDirectory();
    if (const char* env = std::getenv("OSTRELO_RESOURCES"); env != nullptr && *env != '\0')
        return std::filesystem::path(env) / "storyboards";
    return std::filesystem::path("resources") / "storyboards";
}

std::optional<Storyboard> Storyboard::named(const std::string& name, std::string& error) {
    auto path = directory() / (name + ".storyboard");
    std::ifstream in(path);
    if (!in) {
        error = "no storyboard \"" + name + "\" (looked for " + path.string() + ")";
        return std::nullopt;
    }
    std::stringstream text;
    text << in.rdbuf();
    return parse(text.str(), name, error);
}

std::optional<Storyboard> Storyboard::parse(const std::string& text, const std::string& name, std::string& error) {
    Storyboard board;
    board.name_ = name;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    // The chain of open nodes, by depth (0: the scene's root view).
    std::vector<Node*> open;
    auto fail = [&](const std::string& message) {
        error = "storyboard " + name + ", line " + std::to_string(number) + ": " + message;
        return std::nullopt;
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t indent = line.find_first_not_of(' ');
        if (indent == std::string::npos) continue;
        if (line[indent] == '#') continue;
        if (line.find('\t') != std::string::npos && line.find('\t') < indent) return fail("tabs are not allowed for indentation");
        std::vector<std::string> words;
        if (!splitWords(line.substr(indent), words)) return fail("unclosed quote");
        if (words.empty()) continue;
        const std::string& keyword = words[0];
        if (keyword == "initial") {
            if (indent != 0 || words.size() != 2) return fail("expected: initial <scene identifier>");
            board.initial_ = words[1];
        } else if (keyword == "scene") {
            if (indent != 0 || words.size() != 3) return fail("expected: scene <identifier> <controller class>");
            for (const auto& s : board.scenes_)
                if (s.identifier == words[1]) return fail("scene \"" + words[1] + "\" appears twice");
            board.scenes_.push_back(Scene{words[1], words[2], number, std::nullopt});
            open.clear();
        } else if (keyword == "view") {
            if (board.scenes_.empty()) return fail("a view outside any scene");
            if (indent % 2 != 0 || indent < 2) return fail("views are indented by two spaces per level");
            std::size_t depth = indent / 2 - 1;
            if (words.size() < 2) return fail("expected: view <class> [key=value ...]");
            Node node;
            node.className = words[1];
            node.line = number;
            for (std::size_t i = 2; i < words.size(); ++i) {
                auto eq = words[i].find('=');
                if (eq == std::string::npos || eq == 0) return fail("expected key=value, found \"" + words[i] + "\"");
                std::string key = words[i].substr(0, eq), value = words[i].substr(eq + 1);
                if (key == "frame" || key == "rframe") {
                    Rect r;
                    if (!parseRect(value, r)) return fail("bad " + key + " \"" + value + "\" (expected x,y,width,height)");
                    (key == "frame" ? node.frame : node.relativeFrame) = r;
                } else if (key == "outlet") {
                    node.outlet = value;
                } else {
                    node.properties.emplace_back(key, value);
                }
            }
            Scene& scene = board.scenes_.back();
            if (depth == 0) {
                if (scene.root) return fail("scene \"" + scene.identifier + "\" has a second root view");
                scene.root = std::move(node);
                open.assign(1, &*scene.root);
            } else {
                if (depth > open.size()) return fail("indented deeper than its parent allows");
                Node* parent = open[depth - 1];
                parent->children.push_back(std::move(node));
                open.resize(depth);
                open.push_back(&parent->children.back());
            }
        } else {
            return fail("unknown keyword \"" + keyword + "\"");
        }
    }
    if (!board.initial_.empty()) {
        bool found = false;
        for (const auto& s : board.scenes_) found = found || s.identifier == board.initial_;
        if (!found) {
            error = "storyboard " + name + ": the initial scene \"" + board.initial_ + "\" does not exist";
            return std::nullopt;
        }
    }
    return board;
}

std::vector<std::string> Storyboard::sceneIdentifiers() const {
    std::vector<std::string> ids;
    for (const auto& s : scenes_) ids.push_back(s.identifier);
    return ids;
}

std::unique_ptr<ViewController> Storyboard::instantiateInitialViewController(std::string& error) const {
    if (initial_.empty()) {
        if (scenes_.empty()) {
            error = "storyboard " + name_ + " has no scenes";
            return nullptr;
        }
        return instantiateViewController(scenes_.front().identifier, error);
    }
    return instantiateViewController(initial_, error);
}

const Storyboard::Scene* Storyboard::scene(const std::string& identifier, std::string& error) const {
    for (const auto& s : scenes_)
        if (s.identifier == identifier) return &s;
    error = "storyboard " + name_ + " has no scene \"" + identifier + "\"";
    return nullptr;
}

std::unique_ptr<ViewController> Storyboard::instantiateViewController(const std::string& identifier,
                                                                       std::string& error) const {
    const Scene* found = scene(identifier, error);
    if (found == nullptr) return nullptr;
    auto controller = ClassRegistry::shared().makeController(found->controllerClass);
    if (!controller) {
        error = "storyboard " + name_ + ", scene " + identifier + ", line " + std::to_string(found->line) +
                ": unknown controller class \"" + found->controllerClass + "\"";
        return nullptr;
    }
    auto root = build(*found, *controller, found->controllerClass, error);
    if (!root) return nullptr;
    controller->storyboardIdentifier = identifier;
    controller->setStoryboard(std::make_shared<const Storyboard>(*this));
    controller->setView(std::move(root));
    return controller;
}

std::unique_ptr<View> Storyboard::instantiateWithOwner(const std::string& identifier, ViewController& owner,
                                                       std::string& error) const {
    const Scene* found = scene(identifier, error);
    if (found == nullptr) return nullptr;
    return build(*found, owner, "the owner", error);
}

std::unique_ptr<View> Storyboard::build(const Scene& scene, ViewController& controller, const std::string& ownerClass,
                                        std::string& error) const {
    std::string where = "storyboard " + name_ + ", scene " + scene.identifier;
    std::vector<std::pair<const Node*, View*>> outlets;
    std::function<std::unique_ptr<View>(const Node&)> make = [&](const Node& node) -> std::unique_ptr<View> {
        auto view = ClassRegistry::shared().makeView(node.className);
        if (!view) {
            error = where + ", line " + std::to_string(node.line) + ": unknown view class \"" + node.className + "\"";
            return nullptr;
        }
        if (node.frame) view->setFrame(*node.frame);
        if (node.relativeFrame) view->relativeFrame = node.relativeFrame;
        for (const auto& [key, value] : node.properties) {
            std::string message;
            if (!view->setProperty(key, value, message)) {
                error = where + ", line " + std::to_string(node.line) + ": " + node.className + ": " + message;
                return nullptr;
            }
        }
        if (!node.outlet.empty()) outlets.emplace_back(&node, view.get());
        for (const auto& child : node.children) {
            auto built = make(child);
            if (!built) return nullptr;
            view->addSubview(std::move(built));
        }
        return view;
    };
    std::unique_ptr<View> root;
    if (scene.root) {
        root = make(*scene.root);
        if (!root) return nullptr;
    } else {
        root = std::make_unique<View>();
    }
    std::set<std::string> bound;
    // A failure leaves no outlet pointing into the discarded tree.
    auto fail = [&](const std::string& message) -> std::unique_ptr<View> {
        for (const auto& outlet : bound) controller.bindOutlet(outlet, nullptr);
        error = message;
        return nullptr;
    };
    for (const auto& [node, view] : outlets) {
        std::string line = where + ", line " + std::to_string(node->line) + ": ";
        if (!controller.hasOutlet(node->outlet))
            return fail(line + ownerClass + " has no outlet \"" + node->outlet + "\"");
        if (bound.count(node->outlet) != 0) return fail(line + "outlet \"" + node->outlet + "\" is connected twice");
        if (!controller.bindOutlet(node->outlet, view))
            return fail(line + "outlet \"" + node->outlet + "\" of " + ownerClass + " cannot hold a " + node->className);
        bound.insert(node->outlet);
    }
    for (const auto& outlet : controller.outletNames())
        if (bound.count(outlet) == 0)
            return fail(where + ": outlet \"" + outlet + "\" of " + ownerClass + " is not connected");
    return root;
}

}  // namespace uikit
