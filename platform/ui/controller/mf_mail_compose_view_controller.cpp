// The mail composer: its panel and the hand-over to the desktop's mail program.
#include "platform/ui/controller/mf_mail_compose_view_controller.h"

#include <algorithm>

#include "platform/runtime/log.h"
#include "platform/ui/controller/mail_draft.h"
#include "platform/ui/controller/mailto_address.h"
#include "platform/ui/controller/stand_in_panel_view.h"

namespace {
constexpr std::size_t kPanelLines = 20;

struct MailState {
    MFMailComposeViewController::MailOpener opener;
    std::vector<MailMessage> outbox, drafts;
};
MailState& state() {
    static MailState s;
    return s;
}
}  // namespace

void MFMailComposeViewController::setMailOpener(MailOpener opener) {
    state().opener = std::move(opener);
}
bool MFMailComposeViewController::canSendMail() {
    return static_cast<bool>(state().opener);
}

void MFMailComposeViewController::handOver(const MailMessage& message, MailOutcome outcome) {
    // Copied: the opener may replace itself while it runs.
    auto opener = state().opener;
    if (!opener) {
        outcome(fail("Mail is not set up on this device"));
        return;
    }
    if (!message.attachments.empty())
        Log::info("mail", std::to_string(message.attachments.size()) +
                              " attachment(s) left out: a mail program opened by address takes none");
    opener(mailtoAddress(message), [message, outcome = std::move(outcome)](Result<void> result) {
        if (result) state().outbox.push_back(message);
        outcome(std::move(result));
    });
}
const std::vector<MailMessage>& MFMailComposeViewController::outbox() {
    return state().outbox;
}
const std::vector<MailMessage>& MFMailComposeViewController::drafts() {
    return state().drafts;
}
void MFMailComposeViewController::clearMailboxes() {
    state().outbox.clear();
    state().drafts.clear();
}

bool MFMailComposeViewController::finish(MFMailComposeResult result, const std::string& error) {
    if (finished_) return false;
    finished_ = true;
    auto keep = self<MFMailComposeViewController>();
    if (auto d = mailComposeDelegate()) d->mailComposeControllerDidFinish(*this, result, error);
    return true;
}

bool MFMailComposeViewController::send() {
    if (finished_ || sending_) return false;
    sending_ = true;
    auto keep = self<MFMailComposeViewController>();
    handOver(message_, [keep](Result<void> result) {
        keep->sending_ = false;
        if (result)
            keep->finish(MFMailComposeResult::Sent, "");
        else {
            // Logged as well: the delegate that would say it may have gone.
            Log::warning("mail", result.error());
            keep->finish(MFMailComposeResult::Failed, result.error());
        }
    });
    return true;
}

bool MFMailComposeViewController::saveDraft() {
    if (finished_ || sending_) return false;
    // Saved only once the file is there: the user counts on finding the draft later.
    auto saved = saveMailDraft(message_);
    if (!saved) {
        Log::warning("mail", saved.error());
        return finish(MFMailComposeResult::Failed, saved.error());
    }
    Log::info("mail", "draft saved to " + *saved);
    state().drafts.push_back(message_);
    return finish(MFMailComposeResult::Saved, "");
}

bool MFMailComposeViewController::cancel() {
    if (sending_) return false;
    return finish(MFMailComposeResult::Cancelled, "");
}

void MFMailComposeViewController::loadView() {
    auto panel = StandInPanelView::make(UIScreen::mainScreen()->bounds());
    panel->setTitle(message_.subject.empty() ? "New Message" : message_.subject);
    std::string to;
    for (const auto& r : message_.to) to += (to.empty() ? "" : ", ") + r;
    std::vector<std::string> lines{"To: " + to, ""};
    // The body a line to a row, as far as the panel has room.
    std::size_t start = 0;
    while (start <= message_.body.size() && lines.size() < kPanelLines) {
        std::size_t end = std::min(message_.body.find('\n', start), message_.body.size());
        lines.push_back(message_.body.substr(start, end - start));
        start = end + 1;
    }
    if (!message_.attachments.empty())
        lines.push_back(std::to_string(message_.attachments.size()) + " attachment(s): add them in the mail program");
    panel->setLines(lines);
    panel->setButtons({"Cancel", "Save", "Send"});
    std::weak_ptr<MFMailComposeViewController> weak = self<MFMailComposeViewController>();
    panel->setOnButton([weak](std::size_t i) {
        auto me = weak.lock();
        if (!me) return;
        if (i == 0)
            me->cancel();
        else if (i == 1)
            me->saveDraft();
        else
            me->send();
    });
    setView(panel);
}
