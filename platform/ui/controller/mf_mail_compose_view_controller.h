// The mail composer stand-in: whether mail can be sent is configured; a message "sent" goes to an
// outbox that tests and the host read. The delegate hears the result and dismisses the composer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/value.h"
#include "platform/ui/controller/ui_view_controller.h"

enum class MFMailComposeResult { Cancelled = 0, Saved = 1, Sent = 2, Failed = 3 };

class MFMailComposeViewController;

class MFMailComposeViewControllerDelegate {
public:
    virtual ~MFMailComposeViewControllerDelegate() = default;
    // The error text is empty unless the result is Failed.
    virtual void mailComposeControllerDidFinish(MFMailComposeViewController&, MFMailComposeResult,
                                                const std::string& /*error*/) {}
};

struct MailAttachment {
    Bytes data;
    std::string mimeType;
    std::string fileName;
};

struct MailMessage {
    std::vector<std::string> to, cc, bcc;
    std::string subject;
    std::string body;
    bool bodyIsHTML = false;
    std::vector<MailAttachment> attachments;
};

class MFMailComposeViewController : public UIViewController {
public:
    KORVA_MAKE(MFMailComposeViewController)

    static bool canSendMail();
    static void setCanSendMail(bool can);
    static const std::vector<MailMessage>& outbox();
    static const std::vector<MailMessage>& drafts();
    static void clearMailboxes();

    void setToRecipients(std::vector<std::string> r) { message_.to = std::move(r); }
    void setCcRecipients(std::vector<std::string> r) { message_.cc = std::move(r); }
    void setBccRecipients(std::vector<std::string> r) { message_.bcc = std::move(r); }
    void setSubject(std::string s) { message_.subject = std::move(s); }
    void setMessageBody(std::string body, bool isHTML) {
        message_.body = std::move(body);
        message_.bodyIsHTML = isHTML;
    }
    void addAttachmentData(Bytes data, std::string mimeType, std::string fileName) {
        message_.attachments.push_back({std::move(data), std::move(mimeType), std::move(fileName)});
    }
    const MailMessage& message() const { return message_; }

    std::shared_ptr<MFMailComposeViewControllerDelegate> mailComposeDelegate() const { return delegate_.lock(); }
    void setMailComposeDelegate(const std::shared_ptr<MFMailComposeViewControllerDelegate>& d) { delegate_ = d; }

    // The user's buttons. Sending while mail cannot be sent reports Failed. Each reports once.
    bool send();
    bool saveDraft();
    bool cancel();

    void loadView() override;
    std::string className() const override { return "MFMailComposeViewController"; }

protected:
    MFMailComposeViewController() = default;

private:
    bool finish(MFMailComposeResult result, const std::string& error);
    MailMessage message_;
    std::weak_ptr<MFMailComposeViewControllerDelegate> delegate_;
    bool finished_ = false;
};
