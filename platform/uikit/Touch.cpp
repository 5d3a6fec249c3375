#include "platform/uikit/Touch.h"

#include "platform/uikit/View.h"

namespace uikit {

Point Touch::locationInView(const View* view) const {
    return view != nullptr ? view->convertPointFromWindow(location_) : location_;
}

}  // namespace uikit
