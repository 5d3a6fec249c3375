#include "platform/uikit/LayoutGuide.h"

#include "platform/uikit/View.h"

namespace uikit {

Rect LayoutGuide::layoutFrame() const { return owner_->safeAreaInsets().inset(owner_->bounds()); }

}  // namespace uikit
