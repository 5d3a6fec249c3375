#include "platform/uikit/GraphicsContext.h"

namespace uikit {

namespace {
GraphicsContext*& currentContext() {
    static GraphicsContext* context = nullptr;
    return context;
}
}  // namespace

GraphicsContext* GraphicsContext::current() { return currentContext(); }

GraphicsContext::Scope::Scope(GraphicsContext* context) : previous_(currentContext()) { currentContext() = context; }

GraphicsContext::Scope::~Scope() { currentContext() = previous_; }

}  // namespace uikit
