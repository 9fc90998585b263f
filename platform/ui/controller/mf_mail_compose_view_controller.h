// The mail composer. Mail leaves through the host: a window host with a desktop mail opener
// installs it, and "sending" hands the message to it as a mailto: address, which opens the user's
// own mail program with the message filled in. Without an opener (headless) mail cannot be sent.
// Messages handed over are kept in an outbox that tests read. The delegate hears the result and
// dismisses the composer. Main thread only.
#pragma once

#include <functional>
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

    // Hands a mailto: address to the desktop; false when the mail program could not be started.
    using MailOpener = std::function<bool(const std::string& mailtoAddress)>;
    // The host's opener (none: mail cannot be sent).
    static void setMailOpener(MailOpener opener);
    static bool canSendMail();
    // Hands a message to the opener (and the outbox). Attachments cannot go along: they are
    // left out with a line in the log. False with the reason when there is no opener or it failed.
    static bool handOver(const MailMessage& message, std::string& error);
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

    // The user's buttons. Sending hands the message over; when that fails (no opener, or the
    // opener could not start) it reports Failed with the reason. Each reports once.
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
