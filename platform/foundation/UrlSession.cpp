#include "platform/foundation/UrlSession.h"

#include "platform/foundation/CurlLibrary.h"
#include "platform/foundation/Log.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace foundation {

namespace {

constexpr long maximumRedirects = 5;

// The transfers' start while held (see UrlSession::holdTransfers).
struct TransferHold {
    std::mutex mutex;
    std::condition_variable released;
    bool held = false;

    static TransferHold& shared() {
        static TransferHold hold;
        return hold;
    }
    // Waits until the hold ends or `stopping` is set (then notify() is called).
    void wait(const std::atomic<bool>& stopping) {
        std::unique_lock lock(mutex);
        released.wait(lock, [&] { return !held || stopping; });
    }
    void notify() {
        std::lock_guard lock(mutex);
        released.notify_all();
    }
};

// The library's functions, once a session's start() has loaded it.
const CurlLibrary& curl() {
    std::string ignored;
    return *CurlLibrary::load(ignored);
}

struct EasyDeleter {
    void operator()(CURL* easy) const { curl().easy_cleanup(easy); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct UrlDeleter {
    void operator()(CURLU* url) const { curl().url_cleanup(url); }
};

struct PartDeleter {
    void operator()(char* part) const { curl().free(part); }
};

std::optional<std::string> urlPart(CURLU* url, CURLUPart which) {
    char* raw = nullptr;
    if (curl().url_get(url, which, &raw, 0) != CURLUE_OK || raw == nullptr) return std::nullopt;
    std::unique_ptr<char, PartDeleter> part(raw);
    return std::string(part.get());
}

bool isLoopbackHost(const std::string& host) {
    return host == "127.0.0.1" || host == "localhost" || host == "[::1]";
}

struct Task {
    std::string url;
    UrlSession::Configuration configuration;
    UrlSession::Completion completion;
    EasyHandle easy;
    std::vector<std::uint8_t> body;
    bool overCap = false;
    bool loopback = false;
    std::optional<UrlError> earlyError;  // a request refused before any transfer
    char errorBuffer[CURL_ERROR_SIZE] = {};
};

std::size_t writeBody(char* data, std::size_t size, std::size_t count, void* context) {
    auto* task = static_cast<Task*>(context);
    const std::size_t length = size * count;
    if (task->body.size() + length > task->configuration.maximumBodySize) {
        task->overCap = true;
        return 0;  // ends the transfer with a write error
    }
    task->body.insert(task->body.end(), data, data + length);
    return length;
}

UrlError errorFor(CURLcode code, const Task& task) {
    std::string detail = task.errorBuffer[0] ? std::string(task.errorBuffer) : std::string(curl().easy_strerror(code));
    UrlError::Code kind = UrlError::Code::other;
    switch (code) {
    case CURLE_URL_MALFORMAT: kind = UrlError::Code::badUrl; break;
    // also a redirect to anything but https
    case CURLE_UNSUPPORTED_PROTOCOL: kind = UrlError::Code::insecureConnection; break;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING: kind = UrlError::Code::cannotConnect; break;
    case CURLE_OPERATION_TIMEDOUT: kind = UrlError::Code::timedOut; break;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR: kind = UrlError::Code::secureConnectionFailed; break;
    case CURLE_TOO_MANY_REDIRECTS: kind = UrlError::Code::tooManyRedirects; break;
    case CURLE_FILESIZE_EXCEEDED: kind = UrlError::Code::bodyTooLarge; break;
    case CURLE_WRITE_ERROR:
        if (task.overCap) kind = UrlError::Code::bodyTooLarge;
        break;
    default: break;
    }
    if (task.overCap) {
        kind = UrlError::Code::bodyTooLarge;
        detail = "the body is larger than " + std::to_string(task.configuration.maximumBodySize) + " bytes";
    }
    return UrlError{kind, detail};
}

}  // namespace

class UrlSession::Impl {
public:
    explicit Impl(Configuration configuration) : configuration_(configuration) {
        thread_ = std::thread([this] { run(); });
    }

    ~Impl() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        ending_ = true;
        TransferHold::shared().notify();
        wake();
        thread_.join();
        if (multi_ != nullptr) curl().multi_cleanup(multi_);
    }

    void setConfiguration(const Configuration& configuration) {
        std::lock_guard lock(mutex_);
        configuration_ = configuration;
    }

    Configuration configuration() const {
        std::lock_guard lock(mutex_);
        return configuration_;
    }

    void dataTask(const std::string& url, Completion completion) {
        auto task = std::make_unique<Task>();
        task->url = url;
        task->completion = std::move(completion);
        {
            std::lock_guard lock(mutex_);
            task->configuration = configuration_;
            ++outstanding_;
            if (stopping_) task->earlyError = UrlError{UrlError::Code::cancelled, "the session is shutting down"};
            pending_.push_back(std::move(task));
        }
        wake();
    }

    void waitUntilIdle() {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return outstanding_ == 0; });
    }

private:
    void wake() {
        if (CURLM* multi = multi_.load(); multi != nullptr) curl().multi_wakeup(multi);
        changed_.notify_all();
    }

    // Loads the library and makes the transfer engine, at the first request (after the hold);
    // an error when either fails.
    std::optional<UrlError> start() {
        if (multi_ != nullptr) return std::nullopt;
        if (!loadError_.empty()) return UrlError{UrlError::Code::other, loadError_};
        TransferHold::shared().wait(ending_);
        if (ending_) return UrlError{UrlError::Code::cancelled, "the session is shutting down"};
        const CurlLibrary* library = CurlLibrary::load(loadError_);
        if (library == nullptr) {
            Log::error("URL session: " + loadError_);
            return UrlError{UrlError::Code::other, loadError_};
        }
        multi_ = library->multi_init();
        if (multi_ == nullptr) {
            loadError_ = "the transfer engine could not be created";
            Log::error("URL session: " + loadError_);
            return UrlError{UrlError::Code::other, loadError_};
        }
        return std::nullopt;
    }

    // Sets the task up for its transfer; an error when the request is refused outright.
    std::optional<UrlError> prepare(Task& task) {
        std::unique_ptr<CURLU, UrlDeleter> parsed(curl().url());
        if (!parsed || curl().url_set(parsed.get(), CURLUPART_URL, task.url.c_str(), 0) != CURLUE_OK)
            return UrlError{UrlError::Code::badUrl, "not a URL: " + task.url};
        const auto scheme = urlPart(parsed.get(), CURLUPART_SCHEME);
        if (!scheme) return UrlError{UrlError::Code::badUrl, "not a URL: " + task.url};
        const auto host = urlPart(parsed.get(), CURLUPART_HOST);
        task.loopback = host && isLoopbackHost(*host);
        if (*scheme != "https" && !(*scheme == "http" && task.loopback))
            return UrlError{UrlError::Code::insecureConnection, "refused to load a URL that is not https: " + task.url};
        if (!host || host->empty()) return UrlError{UrlError::Code::badUrl, "a URL without a host: " + task.url};
        task.easy.reset(curl().easy_init());
        if (!task.easy) return UrlError{UrlError::Code::other, "a transfer could not be created"};
        CURL* easy = task.easy.get();
        bool ok = true;
        auto set = [&ok](CURLcode code) { ok = ok && code == CURLE_OK; };
        set(curl().easy_setopt(easy, CURLOPT_URL, task.url.c_str()));
        set(curl().easy_setopt(easy, CURLOPT_PROTOCOLS_STR, task.loopback ? "http,https" : "https"));
        set(curl().easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "https"));
        set(curl().easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L));
        set(curl().easy_setopt(easy, CURLOPT_MAXREDIRS, maximumRedirects));
        set(curl().easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L));
        set(curl().easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L));
        set(curl().easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(task.configuration.connectTimeout.count())));
        set(curl().easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(task.configuration.timeout.count())));
        set(curl().easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
                             static_cast<curl_off_t>(task.configuration.maximumBodySize)));
        set(curl().easy_setopt(easy, CURLOPT_NOSIGNAL, 1L));
        set(curl().easy_setopt(easy, CURLOPT_USERAGENT, "Ostrelo"));
        if (task.loopback) set(curl().easy_setopt(easy, CURLOPT_NOPROXY, "*"));
        set(curl().easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeBody));
        set(curl().easy_setopt(easy, CURLOPT_WRITEDATA, &task));
        set(curl().easy_setopt(easy, CURLOPT_ERRORBUFFER, task.errorBuffer));
        set(curl().easy_setopt(easy, CURLOPT_PRIVATE, &task));
        if (!ok) return UrlError{UrlError::Code::other, "the transfer could not be configured"};
        return std::nullopt;
    }

    void complete(std::unique_ptr<Task> task, std::optional<UrlError> error) {
        UrlResponse response;
        if (task->easy) {
            curl().easy_getinfo(task->easy.get(), CURLINFO_RESPONSE_CODE, &response.statusCode);
            char* effective = nullptr;
            if (curl().easy_getinfo(task->easy.get(), CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
                response.url = effective;
        }
        if (response.url.empty()) response.url = task->url;
        // A failure goes to the completion, whose caller knows whether it matters.
        std::optional<std::vector<std::uint8_t>> data;
        if (!error) data = std::move(task->body);
        try {
            if (task->completion) task->completion(std::move(data), response, std::move(error));
        } catch (const std::exception& exception) {
            Log::error(std::string("URL request completion failed: ") + exception.what());
        } catch (...) {
            Log::error("URL request completion failed");
        }
        task.reset();
        {
            std::lock_guard lock(mutex_);
            --outstanding_;
        }
        idle_.notify_all();
    }

    void run() {
        std::map<CURL*, std::unique_ptr<Task>> active;
        for (;;) {
            std::deque<std::unique_ptr<Task>> starting;
            bool stopping = false;
            {
                std::unique_lock lock(mutex_);
                if (active.empty())
                    changed_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
                starting.swap(pending_);
                stopping = stopping_;
            }
            for (auto& task : starting) {
                std::optional<UrlError> refused = task->earlyError;
                if (!refused && stopping) refused = UrlError{UrlError::Code::cancelled, "the session is shutting down"};
                if (!refused) refused = start();
                if (!refused) refused = prepare(*task);
                if (!refused && curl().multi_add_handle(multi_, task->easy.get()) != CURLM_OK)
                    refused = UrlError{UrlError::Code::other, "the transfer could not be started"};
                if (refused) {
                    complete(std::move(task), std::move(refused));
                } else {
                    CURL* easy = task->easy.get();
                    active.emplace(easy, std::move(task));
                }
            }
            if (stopping) {
                for (auto& [easy, task] : active) {
                    curl().multi_remove_handle(multi_, easy);
                    complete(std::move(task), UrlError{UrlError::Code::cancelled, "the session is shutting down"});
                }
                active.clear();
                std::lock_guard lock(mutex_);
                if (pending_.empty()) return;
                continue;
            }
            if (active.empty()) continue;

            int running = 0;
            curl().multi_perform(multi_, &running);
            int queued = 0;
            while (CURLMsg* message = curl().multi_info_read(multi_, &queued)) {
                if (message->msg != CURLMSG_DONE) continue;
                CURL* easy = message->easy_handle;
                const CURLcode result = message->data.result;
                auto found = active.find(easy);
                if (found == active.end()) continue;
                std::unique_ptr<Task> task = std::move(found->second);
                active.erase(found);
                curl().multi_remove_handle(multi_, easy);
                std::optional<UrlError> error;
                if (result != CURLE_OK || task->overCap) error = errorFor(result, *task);
                complete(std::move(task), std::move(error));
            }
            if (!active.empty()) curl().multi_poll(multi_, nullptr, 0, 1000, nullptr);
        }
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::condition_variable idle_;
    Configuration configuration_;
    std::deque<std::unique_ptr<Task>> pending_;
    std::size_t outstanding_ = 0;
    bool stopping_ = false;
    // Set by the destructor: also ends a wait for the hold.
    std::atomic<bool> ending_ = false;
    // The engine (the session's thread makes it; others only wake it).
    std::atomic<CURLM*> multi_ = nullptr;
    std::string loadError_;
    std::thread thread_;
};

void UrlSession::holdTransfers() {
    auto& hold = TransferHold::shared();
    std::lock_guard lock(hold.mutex);
    hold.held = true;
}

void UrlSession::releaseTransfers() {
    auto& hold = TransferHold::shared();
    std::lock_guard lock(hold.mutex);
    hold.held = false;
    hold.released.notify_all();
}

UrlSession& UrlSession::shared() {
    static UrlSession session;
    return session;
}

UrlSession::UrlSession() : UrlSession(Configuration()) {}

UrlSession::UrlSession(Configuration configuration) : impl_(std::make_unique<Impl>(configuration)) {}

UrlSession::~UrlSession() = default;

void UrlSession::setConfiguration(const Configuration& configuration) { impl_->setConfiguration(configuration); }

UrlSession::Configuration UrlSession::configuration() const { return impl_->configuration(); }

void UrlSession::dataTask(const std::string& url, Completion completion) {
    impl_->dataTask(url, std::move(completion));
}

void UrlSession::waitUntilIdle() { impl_->waitUntilIdle(); }

}  // namespace foundation
