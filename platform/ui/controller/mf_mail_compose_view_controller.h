// The mail composer. Mail leaves through the host: a window host with a desktop mail opener
// installs it, and "sending" hands the message to it as a mailto: address, which opens the user's
// own mail program with the message filled in. The opener answers when it knows whether the
// program took the message, so a send is Sent only then and Failed, with the opener's reason,
// when nothing could take it. Without an opener (headless) mail cannot be sent. Saving keeps the
// message as a draft file in the data folder (mail_draft.h) and is Saved only once the file is
// written, else Failed with the reason. Messages handed over and drafts saved are also kept in
// lists that tests read. The delegate hears the result and dismisses the composer. Main thread
// only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/result.h"
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

    // Whether the mail program took the message: ok, or the reason it did not.
    using MailOutcome = std::function<void(Result<void>)>;
    // Hands a mailto: address to the desktop and calls the outcome once, at once or later.
    using MailOpener = std::function<void(const std::string& mailtoAddress, MailOutcome outcome)>;
    // The host's opener (none: mail cannot be sent).
    static void setMailOpener(MailOpener opener);
    static bool canSendMail();
    // Hands a message to the opener; the outcome hears whether it left (and it then goes to the
    // outbox), or why not: no opener, or the opener's reason. Attachments cannot go along: they
    // are left out with a line in the log.
    static void handOver(const MailMessage& message, MailOutcome outcome);
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

    // The user's buttons. Sending hands the message over and reports Sent once the opener says
    // the mail program took it, else Failed with the reason (no opener, or the program could not
    // start or failed). Saving writes the draft file and reports Saved, else Failed with the
    // reason. Each reports once; while a send is under way the others are refused.
    bool send();
    bool saveDraft();
    bool cancel();
    bool isSending() const { return sending_; }

    void loadView() override;
    std::string className() const override { return "MFMailComposeViewController"; }

protected:
    MFMailComposeViewController() = default;

private:
    bool finish(MFMailComposeResult result, const std::string& error);
    MailMessage message_;
    std::weak_ptr<MFMailComposeViewControllerDelegate> delegate_;
    bool finished_ = false;
    bool sending_ = false;
};
