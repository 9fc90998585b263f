// The social-post composer stand-in: which services are signed in is configured; a composer is
// only made for an available service. Posts go to a list that tests and the host read.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/image.h"

inline constexpr const char* SLServiceTypeMicroblog = "com.korva.social.microblog";
inline constexpr const char* SLServiceTypeSocialNetwork = "com.korva.social.network";

enum class SLComposeViewControllerResult { Cancelled = 0, Done = 1 };

struct SocialPost {
    std::string serviceType;
    std::string text;
    std::size_t imageCount = 0;
    std::vector<std::string> urls;
};

class SLComposeViewController : public UIViewController {
public:
    KORVA_MAKE(SLComposeViewController)

    static bool isAvailableForServiceType(const std::string& serviceType);
    static void setAvailableServiceTypes(std::set<std::string> types);
    static const std::vector<SocialPost>& posts();
    static void clearPosts();
    // None when the service is not available.
    static std::shared_ptr<SLComposeViewController> composeViewControllerForServiceType(const std::string& type);

    const std::string& serviceType() const { return post_.serviceType; }
    // False once the composer is on screen (as on the platform).
    bool setInitialText(std::string text);
    bool addImage(const std::shared_ptr<UIImage>& image);
    bool addURL(std::string url);
    const SocialPost& post() const { return post_; }
    void setCompletionHandler(std::function<void(SLComposeViewControllerResult)> h) { completion_ = std::move(h); }

    // The user's buttons: the composer goes away, then the completion runs. Each reports once.
    bool postNow();
    bool cancel();

    void loadView() override;
    std::string className() const override { return "SLComposeViewController"; }

protected:
    explicit SLComposeViewController(std::string serviceType) { post_.serviceType = std::move(serviceType); }

private:
    bool finish(SLComposeViewControllerResult result);
    SocialPost post_;
    std::vector<std::shared_ptr<UIImage>> images_;
    std::function<void(SLComposeViewControllerResult)> completion_;
    bool finished_ = false;
};
