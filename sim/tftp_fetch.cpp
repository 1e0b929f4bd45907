#include "sim/tftp_fetch.h"

#include <curl/curl.h>

#include <cctype>
#include <mutex>

#include "sim/sim_config.h"

namespace fk::sim {
namespace {

std::size_t CountBytes(char*, std::size_t size, std::size_t count, void* total) {
    *static_cast<std::uint64_t*>(total) += size * count;
    return size * count;
}

// Percent-escapes everything but the unreserved characters, so a file name with
// spaces or UTF-8 still names the file the controller announced.
std::string Escape(const std::string& file) {
    static const char* kHex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : file) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            out += '%';
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    return out;
}

}  // namespace

FetchResult FetchTftp(std::uint32_t server, std::uint16_t port, const std::string& file,
                      int timeout_s) {
    static std::once_flag init;
    std::call_once(init, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    FetchResult result;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        result.error = "curl_easy_init failed";
        return result;
    }
    const std::string url =
        "tftp://" + IpText(server) + ":" + std::to_string(port) + "/" + Escape(file);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, CountBytes);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.bytes);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(timeout_s));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TFTP_BLKSIZE, 1468L);
    const CURLcode code = curl_easy_perform(curl);
    result.ok = code == CURLE_OK;
    if (!result.ok) result.error = curl_easy_strerror(code);
    curl_easy_cleanup(curl);
    return result;
}

}  // namespace fk::sim
