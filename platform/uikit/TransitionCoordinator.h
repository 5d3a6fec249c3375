#pragma once

#include "platform/uikit/Size.h"

#include <functional>
#include <vector>

namespace uikit {

// Handed to controllers in a size transition: work to run alongside the change and work to run
// once the new size is laid out.
class TransitionCoordinator {
public:
    using Block = std::function<void(TransitionCoordinator&)>;

    explicit TransitionCoordinator(Size size) : size_(size) {}
    void animateAlongsideTransition(Block alongside, Block completion);
    Size targetSize() const { return size_; }

    // Called by the window.
    void runAlongside();
    void runCompletions();

private:
    Size size_;
    std::vector<Block> alongside_;
    std::vector<Block> completions_;
};

}  // namespace uikit
