#pragma once

namespace uikit {

// Asking the user for a rating. Whether a prompt shows is the system's decision; here the
// requests are counted for the host and no prompt shows.
class StoreReviewController {
public:
    static void requestReview();
    static int requestCount();
    static void clearRequests();
};

}  // namespace uikit
