// The application bundle: the resources folder, its Info.plist and resource lookup.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

// Thread-safe: the Info.plist is read once at creation, the localisation order has a lock.
class NSBundle : public NSObject {
public:
    KORVA_MAKE(NSBundle)

    // The bundle whose root is the resources folder: the one set with setMainBundleRoot(), else
    // a "resources" folder holding an Info.plist next to the executable or in a folder above it,
    // else the source tree's resources folder.
    static std::shared_ptr<NSBundle> mainBundle();
    // Empty path goes back to discovery. The next mainBundle() call gives a new bundle.
    static void setMainBundleRoot(std::string path);
    // None when the path is not a folder.
    static std::shared_ptr<NSBundle> bundleWithPath(const std::string& path);

    const std::string& bundlePath() const { return root_; }
    const std::string& resourcePath() const { return root_; }

    // Looks in <root>/<subdirectory>, then in each preferred localisation's "<lang>.lproj"
    // folder, then Base.lproj. `type` may be empty when `name` carries its extension.
    std::optional<std::string> pathForResource(std::string_view name, std::string_view type,
                                               std::string_view subdirectory = {}) const;
    // All files with the extension in <root>/<subdirectory>, sorted by name.
    std::vector<std::string> pathsForResourcesOfType(std::string_view type, std::string_view subdirectory = {}) const;

    // Localisation folders searched, in order ("en" unless set).
    std::vector<std::string> preferredLocalizations() const;
    void setPreferredLocalizations(std::vector<std::string> languages);
    // The localisations the bundle holds: the names of its "<name>.lproj" folders except Base,
    // sorted.
    std::vector<std::string> localizations() const;

    // The Info.plist dictionary (an empty dictionary when the file is missing or unreadable).
    // The returned dictionary is a copy: editing it does not change the bundle.
    Value infoDictionary() const;
    // Null when absent.
    Value objectForInfoDictionaryKey(std::string_view key) const;
    std::string bundleIdentifier() const;

    void init() override;

protected:
    explicit NSBundle(std::string root) : root_(std::move(root)) {}

private:
    std::string root_;
    mutable std::mutex localizationsMutex_;
    std::vector<std::string> localizations_{"en"};
    Value info_;
};
