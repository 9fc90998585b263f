// The maker's server on 127.0.0.1 for tests and tools: it serves the more-apps list, the string
// table and a scheme page as tagged reply pages, records the query of each request, and lets a
// test replace any page's body (junk, an empty page, a JSON object where a list is expected).
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "language/server_pages.h"
#include "platform/storage/json.h"
#include "tests/support/local_server.h"

class MakerServer {
public:
    // The scheme page's path: the scheme's address is the subclass's own, so any path serves.
    static constexpr const char* kSchemePath = "/d/scheme.korvas.html";

    MakerServer() {
        setPayload(std::string(server_pages::kMoreAppsPath),
                   Value::array({Value::dictionary({{"title", Value("Korva Notes")},
                                                    {"url", Value("https://apps.korva.invalid/notes")},
                                                    {"image", Value("/icons/notes.png")}}),
                                 Value::dictionary({{"title", Value("Korva Scan")},
                                                    {"url", Value("https://apps.korva.invalid/scan")},
                                                    {"image", Value("/icons/scan.png")}})}));
        setPayload(std::string(server_pages::kStringTablePath),
                   Value::dictionary({{"Feedback", Value("Palaute")}, {"More Apps", Value("Lisää sovelluksia")}}));
        setPayload(kSchemePath, Value::dictionary({{"version", Value(int64_t(1))}}));
        for (const char* path :
             {server_pages::kMoreAppsPath.data(), server_pages::kStringTablePath.data(), kSchemePath}) {
            server_.routes().Get(
                path, [this, path = std::string(path)](const httplib::Request& request, httplib::Response& response) {
                    std::lock_guard lock(mutex_);
                    std::map<std::string, std::string> query;
                    for (const auto& [key, value] : request.params) query[key] = value;
                    queries_[path] = query;
                    ++hits_[path];
                    response.set_content(bodies_[path], "text/html; charset=utf-8");
                });
        }
    }

    void start() { server_.start(); }
    void stop() { server_.stop(); }
    LocalServer& server() { return server_; }
    // "http://127.0.0.1:PORT", the value for the bundle's download host.
    std::string host() const { return server_.url(""); }

    // The page answers with this payload in a tagged comment.
    void setPayload(const std::string& path, const Value& payload) { setBody(path, server_pages::replyPage(payload)); }
    // The page answers with exactly this body.
    void setBody(const std::string& path, std::string body) {
        std::lock_guard lock(mutex_);
        bodies_[path] = std::move(body);
    }
    // The query of the last request of the page; none before the first.
    std::optional<std::map<std::string, std::string>> lastQuery(const std::string& path) {
        std::lock_guard lock(mutex_);
        auto it = queries_.find(path);
        return it == queries_.end() ? std::nullopt : std::optional(it->second);
    }
    int hits(const std::string& path) {
        std::lock_guard lock(mutex_);
        return hits_[path];
    }

private:
    LocalServer server_;
    std::mutex mutex_;
    std::map<std::string, std::string> bodies_;
    std::map<std::string, std::map<std::string, std::string>> queries_;
    std::map<std::string, int> hits_;
};
