#pragma once

#include "platform/host/NativeWindow.h"

#include <cstddef>
#include <memory>

namespace host {

// A window in memory for tests and benchmarks: its picture is an image at one pixel per point,
// its events are only those posted to it, it has no clipboard, and a wait is the main run loop's
// own (for work posted from other threads).
class OffscreenWindow : public NativeWindow {
public:
    explicit OffscreenWindow(const Options& options);
    ~OffscreenWindow() override;

    uikit::Size size() const override { return size_; }
    void resize(uikit::Size size) override { size_ = size; }
    void setIcon(const render::Image&) override {}
    cairo_surface_t* picture(bool& fresh) override;
    void present(const std::vector<render::DamageRegion::Box>& boxes) override;
    void show() override { shown_ = true; }
    bool visible() const override { return shown_; }
    void bringForward() override {}
    void beginMove() override {}
    std::unique_ptr<uikit::PasteboardStorage> clipboard() override { return nullptr; }
    void wait(std::optional<double> seconds) override;
    void wakeUp() override {}

    // How many boxes were shown so far.
    std::size_t presented() const { return presented_; }

protected:
    std::optional<WindowEvent> nextSystemEvent() override { return std::nullopt; }
    bool hasSystemEvents() override { return false; }

private:
    uikit::Size size_;
    cairo_surface_t* picture_ = nullptr;
    bool shown_ = false;
    std::size_t presented_ = 0;
};

}  // namespace host
