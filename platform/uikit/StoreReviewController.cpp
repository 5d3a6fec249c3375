#include "platform/uikit/StoreReviewController.h"

namespace uikit {

namespace {
int& count() {
    static int requests = 0;
    return requests;
}
}  // namespace

void StoreReviewController::requestReview() { ++count(); }

int StoreReviewController::requestCount() { return count(); }

void StoreReviewController::clearRequests() { count() = 0; }

}  // namespace uikit
