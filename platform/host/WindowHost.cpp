#include "platform/host/WindowHost.h"

#include "platform/foundation/GroupDirectory.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/StoreHold.h"
#include "platform/foundation/UrlSession.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/host/OffscreenWindow.h"
#include "platform/host/SiblingProgram.h"
#include "platform/host/SingleInstance.h"
#include "platform/host/WindowIcon.h"
#include "platform/host/X11Window.h"
#include "platform/render/FontSet.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/Pasteboard.h"

#include <cairo.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

namespace host {

namespace {

// Frames while an animation runs.
constexpr double animationFrameInterval = 1.0 / 60;

std::string programName(const AppDescription& app, char** argv) {
    if (!app.name.empty()) return app.name;
    return argv != nullptr && argv[0] != nullptr ? std::filesystem::path(argv[0]).filename().string() : "ostrelo";
}

std::optional<LaunchRequest> requestOf(const std::vector<std::string>& arguments, const AppDescription& app) {
    if (!app.acceptsLaunchRequests) return arguments.empty() ? std::optional(LaunchRequest{}) : std::nullopt;
    auto request = LaunchRequest::fromArguments(arguments, app);
    if (request && request->encode().size() > SingleInstance::maximumRequestLength) return std::nullopt;
    return request;
}

uikit::ApplicationState state() { return uikit::Application::shared().applicationState; }

// The window on the window system the environment names: an X11 window on $DISPLAY (the
// default, "x11"), or a window in memory that takes only the events posted to it ("offscreen":
// tests, benchmarks). Null, with the reason, when it cannot be reached or is unknown.
std::unique_ptr<NativeWindow> openWindow(const NativeWindow::Options& options, std::string& error) {
    const char* set = std::getenv(NativeWindow::systemVariable);
    const std::string system = set != nullptr ? set : "";
    if (system == "offscreen") return std::make_unique<OffscreenWindow>(options);
    if (system.empty() || system == "x11") return X11Window::open(options, error);
    error = std::string("unknown window system \"") + system + "\" in " + NativeWindow::systemVariable +
            " (x11 or offscreen)";
    return nullptr;
}

}  // namespace

int WindowHost::run(int argc, char** argv, const AppDescription& description) {
    // One heap for every thread: the few helper threads (rates, requests from later starts, the
    // font set's folder) allocate little, and an arena of their own each would cost more memory
    // than they use.
    mallopt(M_ARENA_MAX, 1);
    // Large blocks (a frame's picture of a box over 128 kB) always in pages of their own, given
    // back when freed. Left to itself the heap serves them from its own memory once the first
    // is freed, and keeps that memory long after (a block freed below later ones cannot be
    // returned).
    mallopt(M_MMAP_THRESHOLD, 128 << 10);
    AppDescription app = description;
    app.name = programName(description, argv);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    const std::string usage = app.acceptsLaunchRequests ? LaunchRequest::usage(app) : "usage: " + app.name;
    if (arguments == std::vector<std::string>{"--help"}) {
        std::printf("%s\n", usage.c_str());
        return 0;
    }
    auto request = requestOf(arguments, app);
    if (!request) {
        std::fprintf(stderr, "%s\n", usage.c_str());
        return 2;
    }
    std::string error;
    if (auto refusal = foundation::GroupDirectory::secure(foundation::UserDefaults::groupDirectory())) error = *refusal;
    else if (app.checkBeforeStart && !app.checkBeforeStart(error) && error.empty()) error = "cannot start";
    if (!error.empty()) {
        std::fprintf(stderr, "%s: %s\n", app.name.c_str(), error.c_str());
        return 1;
    }
    std::unique_ptr<SingleInstance> instance;
    if (app.singleInstance) {
        auto claim = SingleInstance::claim(foundation::UserDefaults::groupDirectory(), app.name, request->encode());
        if (claim.role == SingleInstance::Role::handedOver) return 0;
        if (claim.role == SingleInstance::Role::failed) {
            std::fprintf(stderr, "%s: %s\n", app.name.c_str(), claim.error.c_str());
            return 1;
        }
        if (claim.role == SingleInstance::Role::alone)
            foundation::Log::warning("later starts cannot reach this one: " + claim.error);
        instance = std::move(claim.instance);
    }
    // A first start makes its store, and any start its downloads, once its first frame is shown.
    foundation::StoreHold::hold(foundation::UserDefaults::groupDirectory());
    foundation::UrlSession::holdTransfers();
    auto host = open(app, error);
    if (!host) {
        std::fprintf(stderr, "%s: cannot open a window: %s\n", app.name.c_str(), error.c_str());
        foundation::StoreHold::release();
        return 1;
    }
    host->launch(*request);
    if (instance)
        instance->serve([window = host.get()](const std::string& text, const SingleInstance::Reply& reply) {
            window->handle(text, reply);
        });
    int status = host->exec();
    instance.reset();
    host.reset();
    return status;
}

std::unique_ptr<WindowHost> WindowHost::open(const AppDescription& app, std::string& error) {
    // Hidden until its first frame is drawn (exec).
    auto window = openWindow({app.title, app.name, app.size, app.windowStyle}, error);
    if (!window) return nullptr;
    return std::unique_ptr<WindowHost>(new WindowHost(std::move(window), app));
}

WindowHost::WindowHost(std::unique_ptr<NativeWindow> window, const AppDescription& app)
    : window_(std::move(window)), app_(app) {
    size_ = window_->size();
    auto& loop = foundation::RunLoop::main();
    loop.useRealTime();
    driver_ = std::make_unique<ApplicationDriver>(
        ApplicationDriver::Display{size_, window_->scale(), app_.idiom, {}, true});
    driver_->setWindowHandlers({[this](uikit::Size size) { resizeWindow(size); }, [this] { quit(); }});

    if (auto clipboard = window_->clipboard()) {
        uikit::Pasteboard::general().setStorage(std::move(clipboard));
    } else {
        uikit::Pasteboard::general().setStorage(nullptr);
        foundation::Log::info("pasteboard: the offscreen window has no clipboard; copied text stays in this process");
    }
    appearance_ = std::make_unique<DesktopAppearance>(
        DesktopAppearance::sessionBusAddress(), [this](uikit::UserInterfaceStyle style) {
            if (style != driver_->window().userInterfaceStyle()) driver_->setUserInterfaceStyle(style);
        });
    sounds_ = std::make_unique<SdlSoundPlayer>(app_.title);
    uikit::AudioServices::setPlayer([sounds = sounds_.get()](const uikit::AudioServices::Request& r) { sounds->play(r); });

    uikit::Application& application = uikit::Application::shared();
    application.urlHandler = [this](const std::string& url) { openURL(url); };
    application.iconHandler = [this](const std::optional<std::string>& name) {
        if (name) WindowIcon::show(*window_, *name);
    };
    if (auto kept = application.alternateIconName()) WindowIcon::show(*window_, *kept);

    // Work posted from another thread ends the window's wait.
    loop.setWakeUpHandler([window = window_.get()] { window->wakeUp(); });
}

WindowHost::~WindowHost() {
    auto& loop = foundation::RunLoop::main();
    loop.setWakeUpHandler({});
    uikit::AudioServices::setPlayer({});
    uikit::Application::shared().urlHandler = nullptr;
    uikit::Application::shared().iconHandler = nullptr;
    uikit::Pasteboard::general().setStorage(nullptr);
    appearance_.reset();
    driver_.reset();
    sounds_.reset();
    loop.useRealTime();
    window_.reset();
}

void WindowHost::openURL(const std::string& url) {
    if (url != uikit::Application::openSettingsURLString || app_.settingsProgram.empty()) return;
    std::string error;
    if (!SiblingProgram::start(app_.settingsProgram, error)) foundation::Log::warning("cannot show the settings: " + error);
}

void WindowHost::launch(const LaunchRequest& request) {
    driver_->launch(app_, request);
    driver_->runDueWork();
}

int WindowHost::exec() {
    running_ = true;
    while (running_) {
        while (running_) {
            auto event = window_->nextEvent();
            if (!event) break;
            handleEvent(*event);
        }
        if (!running_) break;
        driver_->runDueWork();
        if (running_ && driver_->needsFrame() && (window_->visible() || !shown_)) drawFrame();
        if (running_ && !shown_) show();
        if (running_) wait();
    }
    if (!settled_) settle();
    driver_->terminate();
    return 0;
}

void WindowHost::wait() {
    if (window_->hasEvents()) return;
    auto& loop = foundation::RunLoop::main();
    std::optional<double> timeout;
    if (auto due = loop.nextDueTime()) timeout = std::max(*due - loop.now(), 0.0);
    if (driver_->animating() && window_->visible()) timeout = std::min(timeout.value_or(animationFrameInterval), animationFrameInterval);
    if (timeout && *timeout <= 0) return;
    if (shown_ && !settled_) {
        settle();
        return;
    }
    ++wakeUps_;
    window_->wait(timeout);
}

void WindowHost::handleEvent(const WindowEvent& event) {
    using Kind = WindowEvent::Kind;
    switch (event.kind) {
    case Kind::close:
        running_ = false;
        break;
    case Kind::resized:
        applyWindowSize();
        break;
    case Kind::pointerLeft:
        if (driver_->touchActive()) driver_->touchCancel();
        break;
    case Kind::focusIn:
        appearance_->refresh();
        if (state() == uikit::ApplicationState::background) driver_->enterForeground();
        if (state() != uikit::ApplicationState::active) driver_->becomeActive();
        break;
    case Kind::focusOut:
        if (driver_->touchActive()) driver_->touchCancel();
        if (state() == uikit::ApplicationState::active) driver_->resignActive();
        break;
    case Kind::minimized:
        if (driver_->touchActive()) driver_->touchCancel();
        if (state() != uikit::ApplicationState::background) driver_->enterBackground();
        break;
    case Kind::restored:
        if (state() == uikit::ApplicationState::background) driver_->enterForeground();
        driver_->setNeedsFrame();
        break;
    case Kind::press:
    case Kind::move:
    case Kind::release:
        handlePointer(event);
        break;
    case Kind::key:
        handleKey(event.key);
        break;
    }
}

void WindowHost::handlePointer(const WindowEvent& event) {
    const uikit::Point p = event.point;
    switch (event.kind) {
    case WindowEvent::Kind::press:
        if (dragsWindowAt(p)) window_->beginMove();
        else driver_->touchDown(p);
        break;
    case WindowEvent::Kind::move:
        if (!driver_->touchActive()) break;
        if (p.x < 0 || p.y < 0 || p.x >= size_.width || p.y >= size_.height) driver_->touchCancel();
        else driver_->touchMove(p);
        break;
    default:
        if (driver_->touchActive()) driver_->touchUp(p);
        break;
    }
}

void WindowHost::handleKey(const KeyboardInput::KeyDown& down) {
    auto result = KeyboardInput::translate(down);
    if (result.action == KeyboardInput::Action::rotate) rotate();
    else if (result.action == KeyboardInput::Action::press) driver_->pressKey(result.key);
}

void WindowHost::applyWindowSize() {
    const uikit::Size size = window_->size();
    if (size.width <= 0 || size.height <= 0 || size == size_) return;
    size_ = size;
    driver_->setScreenSize(size);
    driver_->resize(size);
}

void WindowHost::resizeWindow(uikit::Size size) {
    window_->resize({std::round(size.width), std::round(size.height)});
    applyWindowSize();
}

bool WindowHost::dragsWindowAt(uikit::Point point) {
    return app_.dragsWindow && app_.dragsWindow(driver_->window(), point);
}

void WindowHost::rotate() {
    window_->resize({size_.height, size_.width});
    applyWindowSize();
}

void WindowHost::handle(const std::string& text, const SingleInstance::Reply& reply) {
    auto request = LaunchRequest::decode(text);
    if (!request) {
        foundation::Log::info("ignored a request from another start");
        return reply("not a request this program knows");
    }
    window_->bringForward();
    const auto& actions = app_.quickActions;
    const bool reads = request->kind == LaunchRequest::Kind::shortcut &&
                       std::any_of(actions.begin(), actions.end(), [&](const AppDescription::QuickAction& action) {
                           return action.readsPasteboard && request->value == app_.bundleIdentifier + "." + action.name;
                       });
    auto carryOut = [this, request = *request, text, reply] {
        // A start that gave up has told its user that nothing happened.
        if (!reply.waiting()) {
            foundation::Log::info("a later start gave up waiting: its request was not carried out");
            return;
        }
        reply(handle(request, text));
    };
    // The clipboard's owner may take its time: the window goes on meanwhile.
    if (reads) uikit::Pasteboard::general().prepare(carryOut);
    else carryOut();
}

std::optional<std::string> WindowHost::handle(const LaunchRequest& request, const std::string& text) {
    uikit::Pasteboard& pasteboard = uikit::Pasteboard::general();
    pasteboard.takeFailure();
    auto refusal = driver_->handle(request);
    // A copy the clipboard did not take, or a paste it did not hand over, was not carried out.
    if (auto failure = pasteboard.takeFailure()) refusal = failure;
    if (refusal) foundation::Log::info("did not carry out the request of a later start: " + *refusal);
    else foundation::Log::info("carried out the request of a later start: " + text);
    return refusal;
}

// The window's picture keeps the last frame: only the boxes that changed are drawn into it and
// shown. A new picture (the window's size changed) is drawn whole.
void WindowHost::drawFrame() {
    bool fresh = false;
    cairo_surface_t* picture = window_->picture(fresh);
    if (picture == nullptr) return;
    if (fresh) driver_->forgetFrame();
    cairo_t* cr = cairo_create(picture);
    const auto boxes = driver_->drawFrame(cr, window_->scale());
    cairo_destroy(cr);
    cairo_surface_flush(picture);
    if (boxes.empty()) return;
    window_->present(boxes);
    ++frames_;
}

void WindowHost::show() {
    shown_ = true;
    window_->show();
}

void WindowHost::settle() {
    settled_ = true;
    foundation::StoreHold::release();
    foundation::StoreHold::removeLeftOvers();
    foundation::UrlSession::releaseTransfers();
    render::FontSet::keepForLaterStarts();
    foundation::Log::info("first frame");
}

}  // namespace host
