#pragma once

#include "platform/host/HostController.h"
#include "platform/host/HostPalette.h"
#include "platform/host/TranscriptFile.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/Conversation.h"
#include "platform/uikit/MessagesAppHost.h"
#include "platform/uikit/MessagesAppViewController.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace host {

class HostTextField;
class WrappingTextView;

// The window of a messaging conversation that shows a messages extension: a bar with the style
// toggle, the transcript of the texts inserted so far, the input field with the last one, and
// the extension's area (the bottom third in the compact style; everything below the bar in the
// expanded one). The extension becomes active at start (compact) and whenever the window gets
// the focus back, and resigns when it loses it. A style change runs willTransition, the resize
// and didTransition. The host acts on dismiss and style requests after the current event; a
// dismissed extension resigns and goes, and the "Ostrelo" button opens a fresh one, compact.
// Every inserted text goes to the transcript, the input field, the record and the transcript
// file; the transcript starts with the file's last texts.
class ConversationHostController : public HostController, public uikit::MessagesAppHost {
public:
    using Factory = std::function<std::unique_ptr<uikit::MessagesAppViewController>()>;

    ConversationHostController(Factory makeExtension, std::filesystem::path transcriptFile);
    ~ConversationHostController() override;

    // What the user sees and does.
    int presentationStyle() const { return style_; }
    bool isOpen() const { return extension_ != nullptr; }
    // Every text inserted in this window, in order.
    const std::vector<std::string>& transcript() const { return transcript_; }
    // The toggle button: the other style.
    void toggleStyle();
    // The "Ostrelo" button of a closed extension.
    void reopen();
    uikit::Button& toggleButton() const { return *toggle_; }
    uikit::Button& reopenButton() const { return *reopen_; }
    const HostTextField& inputField() const { return *inputField_; }
    const WrappingTextView& transcriptView() const { return *transcriptView_; }
    // The extension shown, if any.
    uikit::MessagesAppViewController* extension() const { return extension_; }
    const std::shared_ptr<uikit::Conversation>& conversation() const { return conversation_; }
    // The next transition reports no active conversation at didTransition (a host may lose it).
    void reportNoActiveConversationAtNextTransition() { noConversationAtNextTransition_ = true; }

    // MessagesAppHost
    void dismissExtension() override;
    void requestPresentationStyle(int style) override;

    // HostController
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;
    void traitCollectionDidChange(const uikit::TraitCollection* previous) override;
    void layoutHostViews() override;
    void hostDidBecomeActive() override;
    void hostWillResignActive() override;

private:
    // Makes a fresh extension and puts it in the area (with the appearance calls when `appear`).
    void openExtension(bool appear);
    void closeExtension();
    void activateExtension();
    void transition(int style);
    void record(const std::string& text);
    void applyPalette();
    uikit::Rect areaFrame(int style, uikit::Size size);

    Factory makeExtension_;
    TranscriptFile transcriptFile_;
    std::shared_ptr<uikit::Conversation> conversation_;
    uikit::MessagesAppViewController* extension_ = nullptr;
    int style_ = uikit::MessagesAppPresentationStyleCompact;
    bool active_ = false;
    bool transitioning_ = false;
    bool dismissPending_ = false;
    bool noConversationAtNextTransition_ = false;
    std::vector<std::string> transcript_;
    // The texts of the transcript file when the window opened (the last earlierTextsShown).
    static constexpr std::size_t earlierTextsShown = 200;
    std::vector<std::string> earlierTexts_;
    uikit::View* bar_ = nullptr;
    uikit::Button* toggle_ = nullptr;
    uikit::Button* reopen_ = nullptr;
    WrappingTextView* transcriptView_ = nullptr;
    HostTextField* inputField_ = nullptr;
};

}  // namespace host
