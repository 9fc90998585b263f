// Mail composer stand-in.
#include "platform/ui/controller/mf_mail_compose_view_controller.h"

#include "platform/ui/controller/stand_in_panel_view.h"

namespace {
struct MailState {
    bool canSend = false;
    std::vector<MailMessage> outbox, drafts;
};
MailState& state() {
    static MailState s;
    return s;
}
}  // namespace

bool MFMailComposeViewController::canSendMail() { return state().canSend; }
void MFMailComposeViewController::setCanSendMail(bool can) { state().canSend = can; }
const std::vector<MailMessage>& MFMailComposeViewController::outbox() { return state().outbox; }
const std::vector<MailMessage>& MFMailComposeViewController::drafts() { return state().drafts; }
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
    if (finished_) return false;
    if (!canSendMail()) return finish(MFMailComposeResult::Failed, "Mail is not set up on this device");
    state().outbox.push_back(message_);
    return finish(MFMailComposeResult::Sent, "");
}

bool MFMailComposeViewController::saveDraft() {
    if (finished_) return false;
    state().drafts.push_back(message_);
    return finish(MFMailComposeResult::Saved, "");
}

bool MFMailComposeViewController::cancel() { return finish(MFMailComposeResult::Cancelled, ""); }

void MFMailComposeViewController::loadView() {
    auto panel = StandInPanelView::make(UIScreen::mainScreen()->bounds());
    panel->setTitle(message_.subject.empty() ? "New Message" : message_.subject);
    std::string to;
    for (const auto& r : message_.to) to += (to.empty() ? "" : ", ") + r;
    panel->setLines({"To: " + to, message_.body.substr(0, 200),
                     std::to_string(message_.attachments.size()) + " attachment(s)"});
    panel->setButtons({"Cancel", "Save", "Send"});
    std::weak_ptr<MFMailComposeViewController> weak = self<MFMailComposeViewController>();
    panel->setOnButton([weak](std::size_t i) {
        auto me = weak.lock();
        if (!me) return;
        if (i == 0) me->cancel();
        else if (i == 1) me->saveDraft();
        else me->send();
    });
    setView(panel);
}
