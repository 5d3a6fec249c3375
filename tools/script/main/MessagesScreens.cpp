#include "tools/script/main/MessagesScreens.h"

#include "OstreloMessage/MessagesCollapsedViewController.h"
#include "OstreloMessage/MessagesExpandedViewController.h"
#include "OstreloMessage/MessagesExtension.h"
#include "engine/ExchangeRateFeed.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/host/ConversationHost.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/HostTextField.h"
#include "platform/host/TranscriptFile.h"
#include "platform/host/WrappingTextView.h"
#include "platform/uikit/Button.h"
#include "tools/script/ScriptSession.h"
#include "tools/script/ScriptText.h"

#include <fstream>
#include <sstream>

namespace script {

namespace {

using Session = ScriptSession;
constexpr auto many = ScriptCommand::manyWords;

host::ConversationHostController* conversationWindow(Session& s) {
    return host::ConversationHost::controller(s.host().window());
}

// Launches the extension in its window on the headless host, with no network.
bool launch(host::HeadlessHost& host, bool expanded, std::string& error) {
    ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
    auto* window = host::ConversationHost::launch(host, ostrelo::MessagesExtension::makeRoot);
    if (window == nullptr || !window->isOpen()) {
        error = "the conversation window shows no extension";
        return false;
    }
    if (expanded) host.tap(host::HeadlessHost::centerOf(window->toggleButton()));
    // The (offline) rate check the calculator started, and what it queues on the main queue.
    host.runUntilIdle();
    foundation::DispatchQueue::global().waitUntilIdle();
    host.runUntilIdle();
    return true;
}

// style compact|expanded: the window's toggle, tapped when the extension shows the other style.
bool style(Session& s, const ScriptLine& line) {
    const std::string& wanted = line.words[0].text;
    if (wanted != "compact" && wanted != "expanded") return s.stop(line, "usage: style compact|expanded");
    auto* window = conversationWindow(s);
    if (window == nullptr || !window->isOpen()) return s.stop(line, "the extension is closed");
    const bool compact = window->presentationStyle() == uikit::MessagesAppPresentationStyleCompact;
    if (compact != (wanted == "compact")) s.host().tap(host::HeadlessHost::centerOf(window->toggleButton()));
    return true;
}

// conversation none: the host reports no active conversation at the next change of style.
bool conversation(Session& s, const ScriptLine& line) {
    if (line.words[0].text != "none") return s.stop(line, "usage: conversation none");
    auto* window = conversationWindow(s);
    if (window == nullptr) return s.stop(line, "no conversation window");
    window->reportNoActiveConversationAtNextTransition();
    return true;
}

// refocus: the window loses the focus and gets it back.
bool refocus(Session& s, const ScriptLine&) {
    s.host().resignActive();
    s.host().becomeActive();
    return true;
}

// handle "TEXT": the text handed to the shown calculator's key handler as a key without a button
// hands it (as its Functions popover does), for keys the compact pad has no button for.
bool handle(Session& s, const ScriptLine& line) {
    auto* window = conversationWindow(s);
    uikit::ViewController* root = window != nullptr ? window->extension() : nullptr;
    if (root == nullptr || root->childViewControllers().empty()) return s.stop(line, "no calculator is shown");
    uikit::ViewController* shown = root->childViewControllers().front().get();
    const std::string& text = line.words[0].text;
    if (auto* compact = dynamic_cast<ostrelo::MessagesCollapsedViewController*>(shown))
        compact->handleKeyPressCollapsed(nullptr, false, text);
    else if (auto* expanded = dynamic_cast<ostrelo::MessagesExpandedViewController*>(shown))
        expanded->handleKeyPressExpanded(nullptr, false, text);
    else
        return s.stop(line, "the shown controller is no calculator");
    s.host().runUntilIdle();
    return true;
}

std::string listed(const std::vector<std::string>& texts) {
    std::string all;
    for (const auto& text : texts) all += (all.empty() ? "" : " ") + inQuotes(text);
    return "[" + all + "]";
}

// expect transcript "TEXT"...: every text inserted since start, in the window's record, on screen
// (the transcript, the last one in the input field) and, one line each, in the transcript file.
bool transcript(Session& s, const ScriptLine& line) {
    auto* window = conversationWindow(s);
    if (window == nullptr) return s.stop(line, "no conversation window");
    std::vector<std::string> expected;
    std::string expectedFile;
    for (const auto& word : line.words) {
        expected.push_back(word.text);
        expectedFile += host::TranscriptFile::line(word.text);
    }
    if (window->transcript() != expected)
        s.fail(line, "expected transcript " + listed(expected) + " got " + listed(window->transcript()));
    std::string shown;
    for (const auto& text : expected) shown += (shown.empty() ? "" : "\n") + text;
    if (window->transcriptView().text() != shown)
        s.fail(line, "expected the transcript to show " + inQuotes(shown) + " got " + inQuotes(window->transcriptView().text()));
    const std::string last = expected.empty() ? "" : expected.back();
    if (window->inputField().text() != last)
        s.fail(line, "expected the input field " + inQuotes(last) + " got " + inQuotes(window->inputField().text()));
    std::ifstream file(host::ConversationHost::transcriptPath(), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    if (content.str() != expectedFile)
        s.fail(line, "expected the transcript file " + inQuotes(expectedFile) + " got " + inQuotes(content.str()));
    return true;
}

bool dismissed(Session& s, const ScriptLine& line) {
    auto* window = conversationWindow(s);
    if (window == nullptr) return s.stop(line, "no conversation window");
    if (window->isOpen()) s.fail(line, "expected the extension dismissed got it open");
    return true;
}

ScreenDefinition messagesScreen(const std::string& name, bool expanded) {
    ScreenDefinition screen;
    screen.name = name;
    screen.lines = {{"primary", "primaryCalculatorLine"}, {"secondary", "secondaryCalculatorLine"}, {"memory", "labelMemory"}};
    screen.start = [expanded](host::HeadlessHost& host, const std::vector<std::string>&, ScreenDefinition::KeepAlive&,
                              std::string& error) { return launch(host, expanded, error); };
    screen.commands = {
        {"style", Phase::running, 1, 1, "style compact|expanded", style},
        {"conversation", Phase::running, 1, 1, "conversation none", conversation},
        {"refocus", Phase::running, 0, 0, "refocus", refocus},
        {"handle", Phase::running, 1, 1, "handle \"TEXT\"", handle},
    };
    screen.expectations = {
        {"transcript", Phase::running, 0, many, "expect transcript [\"TEXT\"...]", transcript},
        {"dismissed", Phase::running, 0, 0, "expect dismissed", dismissed},
    };
    return screen;
}

}  // namespace

ScreenDefinition messagesCompactScreen() { return messagesScreen("messages-compact", false); }

ScreenDefinition messagesExpandedScreen() { return messagesScreen("messages-expanded", true); }

}  // namespace script
