#pragma once

#include "platform/foundation/FileDescriptor.h"
#include "platform/foundation/TransferReply.h"
#include "platform/foundation/UrlSession.h"

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <string>

namespace foundation {

// One run of the download helper, ostrelo-fetch, for one request: it makes the transfer with
// libcurl in a process of its own and answers on a pipe (TransferReply), so that libcurl and the
// libraries under it never enter this process. Not thread-safe: one thread drives it.
class TransferProcess {
public:
    // Where the helper is: where `cmake --install` puts it relative to this executable's folder
    // (libexec/ostrelo beside bin/), else, for a program of the build tree, where the build made
    // it; "" when there is none.
    static std::string helperPath();

    TransferProcess() = default;
    // Kills a helper still running.
    ~TransferProcess();
    TransferProcess(const TransferProcess&) = delete;
    TransferProcess& operator=(const TransferProcess&) = delete;

    // Starts the helper on the URL; false, with the reason, when it cannot be started.
    bool start(const std::string& url, const UrlSession::Configuration& limits, std::string& error);

    // The pipe to wait on for more of the answer.
    int descriptor() const { return output_.get(); }
    // When the helper has run past its own time-out and is given up.
    std::chrono::steady_clock::time_point deadline() const { return deadline_; }

    // Reads what has arrived; true once the answer is complete (the helper closed its end, or
    // sent more than any answer holds).
    bool readAvailable();
    // Waits for the helper's end and returns its answer (an error when it gave none).
    TransferReply finish();
    // Kills the helper and waits for its end.
    void cancel();

private:
    std::string url_;
    std::size_t maximumAnswer_ = 0;
    pid_t pid_ = -1;
    FileDescriptor output_;
    std::string answer_;
    std::chrono::steady_clock::time_point deadline_;
};

}  // namespace foundation
