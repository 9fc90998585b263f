// SchemeBase: a configuration dictionary (the "scheme") read from a server page, with a default
// copy among the application's resources as the fallback, answering typed lookups by path. A
// subclass names the store file (lastInfoPath) and is made with the page's URL and the
// resource name.
//
// update0 reads the network synchronously (callers run it off the main thread); the store is
// not guarded, so the subclass serialises access.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class LastInfo;

class SchemeBase : public NSObject {
public:
    KORVA_MAKE(SchemeBase)

    const std::string& url() const { return url_; }
    const std::string& bundleName() const { return bundleName_; }
    // name, version, lang and p of the application, sent with the request.
    const Value& input() const { return input_; }

    // The store's path; none here, the subclass names it.
    virtual std::optional<std::string> lastInfoPath() const { return std::nullopt; }
    std::shared_ptr<LastInfo> lastInfo();

    // The page's tagged payload text, read synchronously with its encoding detected; none when
    // no URL forms, the read fails or the page has no payload.
    std::optional<std::string> update0();
    // Keeps the payload as the scheme (in memory) when it is a JSON object; false otherwise, and
    // the stored scheme is left as it was.
    bool update1(const std::optional<std::string>& payload);
    bool update() { return update1(update0()); }
    void save();
    // Replaces the scheme by the default resource's ("<bundleName>.txt") and saves; a missing or
    // unreadable resource removes the scheme.
    void setSchemeDefault();

    // The value at the path in the scheme; null when absent.
    Value v0(std::string_view path);
    Value vValue(std::string_view path) { return v0(path); }
    // A non-empty value of the kind, loading the default scheme when the stored one lacks it;
    // the value when it is of the kind (even empty), else null.
    Value vString(std::string_view path);
    Value vArray(std::string_view path);
    Value vDictionary(std::string_view path);

    std::string className() const override { return "SchemeBase"; }

protected:
    SchemeBase(std::string url, std::string bundleName);

private:
    enum class Kind { String, Array, Dictionary };
    static bool matches(const Value& value, Kind kind);
    Value typed(std::string_view path, Kind kind);

    std::string url_;
    std::string bundleName_;
    Value input_;
    std::shared_ptr<LastInfo> lastInfo_;
};
