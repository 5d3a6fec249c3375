#include "platform/host/WindowHost.h"

#include "platform/foundation/GroupDirectory.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/StoreHold.h"
#include "platform/foundation/UrlSession.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/host/SdlKeyboard.h"
#include "platform/host/SdlPasteboardStorage.h"
#include "platform/host/SiblingProgram.h"
#include "platform/host/SingleInstance.h"
#include "platform/host/WindowIcon.h"
#include "platform/render/FontSet.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/Pasteboard.h"
#include "platform/uikit/Screen.h"

#include <SDL2/SDL.h>
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
    auto request = LaunchRequest::fromArguments(arguments, app.bundleIdentifier);
    if (request && request->encode().size() > SingleInstance::maximumRequestLength) return std::nullopt;
    return request;
}

uikit::ApplicationState state() { return uikit::Application::shared().applicationState; }

// Where the window opens: centred, or at the top right of the first display's usable area.
SDL_Point placement(const AppDescription& app, int width) {
    constexpr int margin = 16;
    SDL_Rect usable{};
    if (app.windowStyle.placement == AppDescription::WindowStyle::Placement::topRight &&
        SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0)
        return {std::max(usable.x, usable.x + usable.w - width - margin), usable.y + margin};
    return {SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED};
}

// SDL's video with the X input method reading an empty compose table: the programs type no
// compose sequences, and the locale's table (thousands of lines) was parsed at every start.
bool initialiseVideo() {
    const char* variable = "XCOMPOSEFILE";
    const char* set = std::getenv(variable);
    const std::optional<std::string> own = set != nullptr ? std::optional<std::string>(set) : std::nullopt;
    setenv(variable, "/dev/null", 1);
    const bool ok = SDL_Init(SDL_INIT_VIDEO) == 0;
    if (own) setenv(variable, own->c_str(), 1);
    else unsetenv(variable);
    return ok;
}

// Copies boxes of a picture into a window surface of another pixel format.
void convert(cairo_surface_t* picture, SDL_Surface* surface, const std::vector<SDL_Rect>& rects) {
    const int stride = cairo_image_surface_get_stride(picture);
    for (const auto& r : rects)
        SDL_ConvertPixels(r.w, r.h, SDL_PIXELFORMAT_ARGB8888, cairo_image_surface_get_data(picture) + r.y * stride + r.x * 4,
                          stride, surface->format->format,
                          static_cast<unsigned char*>(surface->pixels) + r.y * surface->pitch +
                              r.x * surface->format->BytesPerPixel,
                          surface->pitch);
}

SDL_HitTestResult hitTest(SDL_Window*, const SDL_Point* area, void* data) {
    auto* host = static_cast<WindowHost*>(data);
    return host->dragsWindowAt({double(area->x), double(area->y)}) ? SDL_HITTEST_DRAGGABLE : SDL_HITTEST_NORMAL;
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
    const std::string usage = app.acceptsLaunchRequests ? LaunchRequest::usage(app.name) : "usage: " + app.name;
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
    if (instance) instance->serve([window = host.get()](const std::string& text) { return window->handle(text); });
    int status = host->exec();
    instance.reset();
    host.reset();
    return status;
}

std::unique_ptr<WindowHost> WindowHost::open(const AppDescription& app, std::string& error) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    SDL_SetHint(SDL_HINT_APP_NAME, app.title.c_str());
    // The window surface is drawn by Cairo: no GPU renderer behind it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Without a display SDL falls back to a driver that draws nowhere; only a start that asks
    // for one by name (tests, benchmarks) gets it. With nothing that could name a display the
    // window system's libraries are not even asked (they would print their own complaints).
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    auto set = [](const char* name) { return std::getenv(name) != nullptr && *std::getenv(name) != '\0'; };
    if (asked == nullptr && !set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("XDG_RUNTIME_DIR")) {
        error = "no display";
        return nullptr;
    }
    if (!initialiseVideo()) {
        error = SDL_GetError();
        return nullptr;
    }
    const std::string driver = SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "";
    if ((driver == "offscreen" || driver == "dummy") && (asked == nullptr || driver != asked)) {
        error = "no display";
        SDL_Quit();
        return nullptr;
    }
    int width = static_cast<int>(app.size.width), height = static_cast<int>(app.size.height);
    // Hidden until its first frame is drawn (exec).
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN;
    if (app.windowStyle.resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (!app.windowStyle.decorated) flags |= SDL_WINDOW_BORDERLESS;
    if (app.windowStyle.alwaysOnTop) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    SDL_Point origin = placement(app, width);
    SDL_Window* window = SDL_CreateWindow(app.title.c_str(), origin.x, origin.y, width, height, flags);
    if (window == nullptr) {
        error = SDL_GetError();
        SDL_Quit();
        return nullptr;
    }
    return std::unique_ptr<WindowHost>(new WindowHost(window, app));
}

WindowHost::WindowHost(SDL_Window* window, const AppDescription& app) : window_(window), app_(app) {
    int w = 0, h = 0, pixelsWide = 0, pixelsHigh = 0;
    SDL_GetWindowSize(window_, &w, &h);
    SDL_GetWindowSizeInPixels(window_, &pixelsWide, &pixelsHigh);
    size_ = {static_cast<double>(std::max(w, 1)), static_cast<double>(std::max(h, 1))};
    double scale = pixelsWide > 0 ? pixelsWide / size_.width : 1;
    auto& loop = foundation::RunLoop::main();
    loop.useRealTime();
    driver_ = std::make_unique<ApplicationDriver>(ApplicationDriver::Display{size_, scale, app_.idiom, {}, true});
    driver_->setWindowHandlers({[this](uikit::Size size) { resizeWindow(size); }, [this] { quit(); }});
    if (app_.dragsWindow && SDL_SetWindowHitTest(window_, hitTest, this) != 0)
        foundation::Log::info(std::string("window: cannot be dragged by its own title bar: ") + SDL_GetError());

    std::string videoDriver = SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "";
    if (SdlPasteboardStorage::hasClipboard(videoDriver)) {
        uikit::Pasteboard::general().setStorage(std::make_unique<SdlPasteboardStorage>());
    } else {
        uikit::Pasteboard::general().setStorage(nullptr);
        foundation::Log::info("pasteboard: the video driver \"" + videoDriver + "\" has no clipboard; copied text stays in this process");
    }
    appearance_ = std::make_unique<DesktopAppearance>(
        DesktopAppearance::sessionBusAddress(), [this](uikit::UserInterfaceStyle style) {
            if (style != driver_->window().userInterfaceStyle()) driver_->setUserInterfaceStyle(style);
        });
    sounds_ = std::make_unique<SdlSoundPlayer>();
    uikit::AudioServices::setPlayer([sounds = sounds_.get()](const uikit::AudioServices::Request& r) { sounds->play(r); });

    uikit::Application& application = uikit::Application::shared();
    application.urlHandler = [this](const std::string& url) { openURL(url); };
    application.iconHandler = [window](const std::optional<std::string>& name) {
        if (name) WindowIcon::show(window, *name);
    };
    if (auto kept = application.alternateIconName()) WindowIcon::show(window_, *kept);

    // X11 and Wayland can block on their connection; a wake-up event ends that wait when work is
    // posted from another thread.
    sdlWaits_ = videoDriver == "x11" || videoDriver == "wayland";
    if (sdlWaits_) {
        wakeEvent_ = SDL_RegisterEvents(1);
        loop.setWakeUpHandler([type = wakeEvent_] {
            SDL_Event event{};
            event.type = type;
            SDL_PushEvent(&event);
        });
    }
    SDL_StartTextInput();
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
    SDL_DestroyWindow(window_);
    SDL_Quit();
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
    SDL_Event event;
    while (running_) {
        while (running_ && SDL_PollEvent(&event)) handleEvent(event);
        if (!running_) break;
        driver_->runDueWork();
        if (running_ && driver_->needsFrame() && (visible() || !shown_)) drawFrame();
        if (running_ && !shown_) show();
        if (running_) wait();
    }
    if (!settled_) settle();
    driver_->terminate();
    return 0;
}

void WindowHost::wait() {
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
    auto& loop = foundation::RunLoop::main();
    std::optional<double> timeout;
    if (auto due = loop.nextDueTime()) timeout = std::max(*due - loop.now(), 0.0);
    if (driver_->animating() && visible()) timeout = std::min(timeout.value_or(animationFrameInterval), animationFrameInterval);
    if (timeout && *timeout <= 0) return;
    if (shown_ && !settled_) {
        settle();
        return;
    }
    ++wakeUps_;
    if (!sdlWaits_) {
        loop.waitForPosted(timeout);
        return;
    }
    int milliseconds = timeout ? static_cast<int>(std::ceil(*timeout * 1000)) : -1;
    SDL_WaitEventTimeout(nullptr, milliseconds);
}

bool WindowHost::visible() const {
    return (SDL_GetWindowFlags(window_) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0;
}

void WindowHost::handleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        running_ = false;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.windowID == SDL_GetWindowID(window_)) handleWindowEvent(event);
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT) driver_->touchDown({double(event.button.x), double(event.button.y)});
        break;
    case SDL_MOUSEMOTION:
        if (!driver_->touchActive() || (event.motion.state & SDL_BUTTON_LMASK) == 0) break;
        if (event.motion.x < 0 || event.motion.y < 0 || event.motion.x >= size_.width || event.motion.y >= size_.height)
            driver_->touchCancel();
        else
            driver_->touchMove({double(event.motion.x), double(event.motion.y)});
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT && driver_->touchActive())
            driver_->touchUp({double(event.button.x), double(event.button.y)});
        break;
    case SDL_KEYDOWN:
        handleKeyDown(event);
        break;
    default:
        break;
    }
}

void WindowHost::handleWindowEvent(const SDL_Event& event) {
    switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE:
        running_ = false;
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        applyWindowSize();
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        driver_->forgetFrame();
        driver_->setNeedsFrame();
        break;
    case SDL_WINDOWEVENT_LEAVE:
        if (driver_->touchActive()) driver_->touchCancel();
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        appearance_->refresh();
        if (state() == uikit::ApplicationState::background) driver_->enterForeground();
        if (state() != uikit::ApplicationState::active) driver_->becomeActive();
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (driver_->touchActive()) driver_->touchCancel();
        if (state() == uikit::ApplicationState::active) driver_->resignActive();
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        if (driver_->touchActive()) driver_->touchCancel();
        if (state() != uikit::ApplicationState::background) driver_->enterBackground();
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (state() == uikit::ApplicationState::background) driver_->enterForeground();
        driver_->setNeedsFrame();
        break;
    default:
        break;
    }
}

// A key-down's text input follows it in the queue; it is taken along so that one key-down is
// one press.
void WindowHost::handleKeyDown(const SDL_Event& event) {
    std::string text;
    SDL_Event next;
    if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 && next.type == SDL_TEXTINPUT) {
        SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
        text = next.text.text;
    }
    auto result = SdlKeyboard::translate(event.key, text);
    if (result.action == SdlKeyboard::Action::rotate) rotate();
    else if (result.action == SdlKeyboard::Action::press) driver_->pressKey(result.key);
}

void WindowHost::applyWindowSize() {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (w <= 0 || h <= 0) return;
    uikit::Size size{double(w), double(h)};
    if (size == size_) return;
    size_ = size;
    driver_->setScreenSize(size);
    driver_->resize(size);
}

void WindowHost::resizeWindow(uikit::Size size) {
    SDL_SetWindowSize(window_, static_cast<int>(std::lround(size.width)), static_cast<int>(std::lround(size.height)));
    applyWindowSize();
}

bool WindowHost::dragsWindowAt(uikit::Point point) {
    return app_.dragsWindow && app_.dragsWindow(driver_->window(), point);
}

void WindowHost::rotate() {
    SDL_SetWindowSize(window_, static_cast<int>(size_.height), static_cast<int>(size_.width));
    applyWindowSize();
}

std::optional<std::string> WindowHost::handle(const std::string& text) {
    auto request = LaunchRequest::decode(text);
    if (!request) {
        foundation::Log::info("ignored a request from another start");
        return "not a request this program knows";
    }
    if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0) SDL_RestoreWindow(window_);
    SDL_RaiseWindow(window_);
    auto refusal = driver_->handle(*request);
    if (refusal) foundation::Log::info("did not carry out the request of a later start: " + *refusal);
    else foundation::Log::info("carried out the request of a later start: " + text);
    return refusal;
}

// The window's surface keeps the last frame: only the boxes that changed are drawn into it and
// shown. A new surface (the window's size changed) or an exposed window is drawn whole.
void WindowHost::drawFrame() {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface == nullptr || surface->w <= 0 || surface->h <= 0) return;
    if (surface != surface_) driver_->forgetFrame();
    surface_ = surface;
    double scale = surface->w / size_.width;
    uikit::Screen::mainScreen().setScale(scale);
    bool direct = surface->format->format == SDL_PIXELFORMAT_RGB888 || surface->format->format == SDL_PIXELFORMAT_ARGB8888;
    if (!direct && (!converted_ || converted_->width() != surface->w || converted_->height() != surface->h)) {
        converted_.emplace(surface->w, surface->h);
        driver_->forgetFrame();
    }
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    cairo_surface_t* target =
        direct ? cairo_image_surface_create_for_data(static_cast<unsigned char*>(surface->pixels), CAIRO_FORMAT_RGB24,
                                                     surface->w, surface->h, surface->pitch)
               : cairo_surface_reference(converted_->surface());
    cairo_t* cr = cairo_create(target);
    const auto boxes = driver_->drawFrame(cr, scale);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    std::vector<SDL_Rect> rects;
    for (const auto& box : boxes) rects.push_back({box.x, box.y, box.width, box.height});
    if (!direct) convert(target, surface, rects);
    cairo_surface_destroy(target);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (rects.empty()) return;
    SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(rects.size()));
    ++frames_;
}

void WindowHost::show() {
    shown_ = true;
    SDL_ShowWindow(window_);
    SDL_UpdateWindowSurface(window_);
}

void WindowHost::settle() {
    settled_ = true;
    foundation::StoreHold::release();
    foundation::UrlSession::releaseTransfers();
    render::FontSet::keepForLaterStarts();
    foundation::Log::info("first frame");
}

}  // namespace host
