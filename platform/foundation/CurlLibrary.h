#pragma once

#include <curl/curl.h>

#include <string>

namespace foundation {

// libcurl, loaded when the first transfer needs it rather than with the program: the programs
// start without it and its dependencies (TLS, name resolution, compression and more), and a
// program that never downloads never loads it. The functions are those of libcurl's interface.
class CurlLibrary {
public:
    // Loads and initialises the library on the first call (from any thread, once per process);
    // null, with the reason, when it cannot be loaded.
    static const CurlLibrary* load(std::string& error);

    CURLcode (*global_init)(long flags) = nullptr;
    CURL* (*easy_init)() = nullptr;
    void (*easy_cleanup)(CURL*) = nullptr;
    CURLcode (*easy_setopt)(CURL*, CURLoption, ...) = nullptr;
    CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...) = nullptr;
    const char* (*easy_strerror)(CURLcode) = nullptr;
    CURLM* (*multi_init)() = nullptr;
    CURLMcode (*multi_cleanup)(CURLM*) = nullptr;
    CURLMcode (*multi_add_handle)(CURLM*, CURL*) = nullptr;
    CURLMcode (*multi_remove_handle)(CURLM*, CURL*) = nullptr;
    CURLMcode (*multi_perform)(CURLM*, int*) = nullptr;
    CURLMsg* (*multi_info_read)(CURLM*, int*) = nullptr;
    CURLMcode (*multi_poll)(CURLM*, curl_waitfd[], unsigned int, int, int*) = nullptr;
    CURLMcode (*multi_wakeup)(CURLM*) = nullptr;
    CURLU* (*url)() = nullptr;
    void (*url_cleanup)(CURLU*) = nullptr;
    CURLUcode (*url_set)(CURLU*, CURLUPart, const char*, unsigned int) = nullptr;
    CURLUcode (*url_get)(const CURLU*, CURLUPart, char**, unsigned int) = nullptr;
    void (*free)(void*) = nullptr;
};

}  // namespace foundation
