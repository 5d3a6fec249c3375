#include "OstreloMessage/MessageExpandedViewControllerFunctions.h"

#include "ui/PulseLayer.h"

namespace ostrelo {

MessageExpandedViewControllerFunctions::MessageExpandedViewControllerFunctions() : pulse(PulseLayer::make()) {}

MessageExpandedViewControllerFunctions::~MessageExpandedViewControllerFunctions() = default;

}  // namespace ostrelo
