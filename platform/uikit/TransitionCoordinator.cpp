#include "platform/uikit/TransitionCoordinator.h"

namespace uikit {

void TransitionCoordinator::animateAlongsideTransition(Block alongside, Block completion) {
    if (alongside) alongside_.push_back(std::move(alongside));
    if (completion) completions_.push_back(std::move(completion));
}

void TransitionCoordinator::runAlongside() {
    auto blocks = std::move(alongside_);
    for (auto& block : blocks) block(*this);
}

void TransitionCoordinator::runCompletions() {
    auto blocks = std::move(completions_);
    for (auto& block : blocks) block(*this);
}

}  // namespace uikit
