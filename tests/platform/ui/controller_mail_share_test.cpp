// Mail and sharing through the desktop: the mailto: address of a message read back by a URL
// parser, the composer handing it to the host's opener (a test seam) and reporting failures, its
// drafts kept as message files read back by another mail reader, and the share sheet's copy, mail
// and tapped choices.
#include <sys/fsuid.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include "controller_test_support.h"
#include "platform/dispatch/queue.h"
#include "platform/image/codec/image_data.h"
#include "platform/net/url.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/runtime/log.h"
#include "platform/storage/sandbox.h"
#include "platform/text/string_character_sets.h"
#include "platform/ui/app/ui_pasteboard.h"
#include "platform/ui/controller/mail_draft.h"
#include "platform/ui/controller/mailto_address.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"
#include "platform/ui/controller/stand_in_panel_view.h"
#include "platform/ui/controller/ui_activity_view_controller.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "tests/platform/ui/kept_by_the_process.h"
#include "tests/support/reachable_temp_folder.h"
#include "tests/support/temp_photo_library.h"

namespace {

struct ParsedMailto {
    std::string to;
    std::map<std::string, std::string> fields;
};

// Reads an address back the way a mail program would: a URL, its path the recipients, its
// query "name=value" fields joined by "&", each percent-decoded.
ParsedMailto parse(const std::string& address) {
    ParsedMailto out;
    auto url = NSURL::URLWithString(address);
    EXPECT_TRUE(url) << address;
    if (!url) return out;
    EXPECT_EQ(url->scheme(), "mailto");
    out.to = url->path();
    if (!url->query()) return out;
    const std::string& q = *url->query();
    std::size_t start = 0;
    while (start <= q.size()) {
        std::size_t end = std::min(q.find('&', start), q.size());
        std::string field = q.substr(start, end - start);
        auto eq = field.find('=');
        EXPECT_NE(eq, std::string::npos) << field;
        auto value = stringByRemovingPercentEncoding(field.substr(eq + 1));
        EXPECT_TRUE(value) << field;
        out.fields[field.substr(0, eq)] = value.value_or("");
        start = end + 1;
    }
    return out;
}

struct MailRecorder : MFMailComposeViewControllerDelegate {
    std::vector<MFMailComposeResult> results;
    std::string error;
    void mailComposeControllerDidFinish(MFMailComposeViewController&, MFMailComposeResult r,
                                        const std::string& e) override {
        results.push_back(r);
        error = e;
    }
};

struct MailShareTest : UIHarness {
    std::shared_ptr<UIViewController> root;
    std::vector<std::string> opened;
    bool openerWorks = true;
    void SetUp() override {
        UIHarness::SetUp();
        root = UIViewController::make();
        window->setRootViewController(root);
        MFMailComposeViewController::clearMailboxes();
        MFMailComposeViewController::setMailOpener([this](const std::string& address, auto taken) {
            opened.push_back(address);
            if (openerWorks)
                taken({});
            else
                taken(fail("the mail program could not be started"));
        });
        UIActivityViewController::clearPerformedShares();
        UIPasteboard::generalPasteboard()->clear();
    }
    void TearDown() override {
        MFMailComposeViewController::setMailOpener(nullptr);
        MFMailComposeViewController::clearMailboxes();
        UIPasteboard::setSystemClipboard(nullptr);
        UIPasteboard::generalPasteboard()->clear();
        UIHarness::TearDown();
    }
};

TEST_F(MailShareTest, TheAddressCarriesEveryPartOfTheMessageAndNothingElse) {
    MailMessage m;
    m.to = {"support@korva.invalid", "b+tag@example.invalid"};
    m.cc = {"c c@example.invalid"};
    m.bcc = {"hidden@example.invalid"};
    m.subject = "Fish & chips? 100%\nsecond line";
    m.body = "Hyvää päivää, 日本!\r\nline two & more\nline three?=x\r";
    m.attachments.push_back({Bytes{1, 2}, "image/jpeg", "a.jpg"});
    std::string address = mailtoAddress(m);
    for (char c : std::string(" \n\r\"<>"))
        EXPECT_EQ(address.find(c), std::string::npos) << "raw '" << c << "' in " << address;
    EXPECT_NE(address.find("%0D%0Aline%20two"), std::string::npos) << address;

    auto parsed = parse(address);
    EXPECT_EQ(parsed.to, "support@korva.invalid,b+tag@example.invalid");
    EXPECT_EQ(parsed.fields["cc"], "c c@example.invalid");
    EXPECT_EQ(parsed.fields["bcc"], "hidden@example.invalid");
    EXPECT_EQ(parsed.fields["subject"], "Fish & chips? 100% second line");
    EXPECT_EQ(parsed.fields["body"], "Hyvää päivää, 日本!\r\nline two & more\r\nline three?=x\r\n");
    EXPECT_EQ(parsed.fields.size(), 4u) << "no attachment field";

    EXPECT_EQ(mailtoAddress(MailMessage{}), "mailto:");
    MailMessage bodyOnly;
    bodyOnly.body = "x";
    EXPECT_EQ(mailtoAddress(bodyOnly), "mailto:?body=x");
}

TEST_F(MailShareTest, SendingHandsTheAddressToTheOpenerAndReportsItsAnswer) {
    auto delegate = std::make_shared<MailRecorder>();
    auto mail = MFMailComposeViewController::make();
    mail->setMailComposeDelegate(delegate);
    mail->setToRecipients({"support@korva.invalid"});
    mail->setSubject("Hi");
    mail->addAttachmentData(Bytes{1, 2, 3}, "image/jpeg", "image_1.jpg");
    EXPECT_TRUE(MFMailComposeViewController::canSendMail());
    ASSERT_TRUE(mail->send());
    EXPECT_EQ(opened, (std::vector<std::string>{"mailto:support@korva.invalid?subject=Hi"}))
        << "the rest goes without the attachment";
    EXPECT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Sent}));
    EXPECT_EQ(MFMailComposeViewController::outbox().size(), 1u);

    // An opener that cannot start the mail program: Failed, with the reason (logged too, for a
    // delegate that has gone), nothing in the outbox.
    openerWorks = false;
    auto second = MFMailComposeViewController::make();
    second->setMailComposeDelegate(delegate);
    LogCapture log;
    ASSERT_TRUE(second->send());
    EXPECT_EQ(delegate->results.back(), MFMailComposeResult::Failed);
    EXPECT_FALSE(delegate->error.empty());
    EXPECT_TRUE(log.contains(delegate->error));
    EXPECT_EQ(MFMailComposeViewController::outbox().size(), 1u);

    // No opener at all (headless).
    MFMailComposeViewController::setMailOpener(nullptr);
    EXPECT_FALSE(MFMailComposeViewController::canSendMail());
    auto third = MFMailComposeViewController::make();
    third->setMailComposeDelegate(delegate);
    ASSERT_TRUE(third->send());
    EXPECT_EQ(delegate->results.back(), MFMailComposeResult::Failed);
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(MailShareTest, ShareSheetCopiesAndMailsTheSharedText) {
    std::vector<std::string> clipboard;
    UIPasteboard::setSystemClipboard([&](const std::string& text) { clipboard.push_back(text); });
    auto url = NSURL::URLWithString("https://apps.korva.invalid/app");
    auto sheet = UIActivityViewController::make(ValueArray{Value("Look"), Value(url), Value(std::int64_t(3))});
    sheet->setValueForKey("subject", Value("Korva"));
    std::vector<std::string> reports;
    sheet->setCompletionWithItemsHandler(
        [&](const std::string& type, bool completed, const ValueArray&, const std::string&) {
            reports.push_back(type + (completed ? " done" : " failed"));
        });
    ASSERT_TRUE(root->presentViewController(sheet, false));
    EXPECT_EQ(sheet->sharedText(), "Look\nhttps://apps.korva.invalid/app");
    ASSERT_TRUE(sheet->chooseActivity(UIActivityTypeCopyToPasteboard));
    advance(0.5);
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "Look\nhttps://apps.korva.invalid/app");
    EXPECT_EQ(clipboard, (std::vector<std::string>{"Look\nhttps://apps.korva.invalid/app"}));

    auto mailSheet = UIActivityViewController::make(ValueArray{Value("Look")});
    mailSheet->setValueForKey("subject", Value("Korva"));
    mailSheet->setCompletionWithItemsHandler(
        [&](const std::string&, bool completed, const ValueArray&, const std::string&) {
            reports.push_back(std::string("mail ") + (completed ? "done" : "failed"));
        });
    ASSERT_TRUE(root->presentViewController(mailSheet, false));
    openerWorks = false;
    ASSERT_TRUE(mailSheet->chooseActivity(UIActivityTypeMail));
    advance(0.5);
    EXPECT_EQ(opened, (std::vector<std::string>{"mailto:?subject=Korva&body=Look"}));
    EXPECT_EQ(reports,
              (std::vector<std::string>{std::string(UIActivityTypeCopyToPasteboard) + " done", "mail failed"}));

    // Mail is not offered where it cannot leave.
    MFMailComposeViewController::setMailOpener(nullptr);
    auto offline = UIActivityViewController::make(ValueArray{Value("x")});
    auto types = offline->activityTypes();
    EXPECT_EQ(std::find(types.begin(), types.end(), UIActivityTypeMail), types.end());
    EXPECT_FALSE(offline->chooseActivity(UIActivityTypeMail));
}

TEST_F(MailShareTest, ASheetChoiceIsATapOnItsLine) {
    auto sheet = UIActivityViewController::make(ValueArray{Value("tapped text")});
    std::string chosen;
    sheet->setCompletionWithItemsHandler(
        [&](const std::string& type, bool, const ValueArray&, const std::string&) { chosen = type; });
    ASSERT_TRUE(root->presentViewController(sheet, false));
    advance(0.5);
    auto panel = std::dynamic_pointer_cast<StandInPanelView>(sheet->view());
    ASSERT_TRUE(panel);
    auto types = sheet->activityTypes();
    ASSERT_EQ(types.front(), UIActivityTypeCopyToPasteboard);
    CGRect first = panel->lineRect(0);
    tap(panel->convertPointToView(CGPointMake(CGRectGetMidX(first), CGRectGetMidY(first)), nullptr));
    advance(0.5);
    EXPECT_EQ(chosen, UIActivityTypeCopyToPasteboard);
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "tapped text");
}

// The composer over a data folder of its own.
struct MailDraftTest : MailShareTest {
    std::filesystem::path root;
    void SetUp() override {
        MailShareTest::SetUp();
        // Reachable by the ordinary user the superuser's saves are made as, wherever TMPDIR is.
        root = testsupport::makeFolderOthersCanEnter("korva-drafts");
        ASSERT_FALSE(root.empty());
        Sandbox::setRoot(root.string());
    }
    void TearDown() override {
        Sandbox::setRoot("");
        if (!root.empty()) {
            std::filesystem::permissions(root, std::filesystem::perms::owner_all);
            std::filesystem::remove_all(root);
        }
        MailShareTest::TearDown();
    }
    std::vector<std::filesystem::path> draftFiles() const {
        std::vector<std::filesystem::path> files;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(mailDraftsDirectory(), ignored))
            files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        return files;
    }
    // The file as another mail reader (Python's standard one) sees it: its headers decoded, the
    // text, each attachment, and how many faults it found.
    std::string readBack(const std::filesystem::path& file) const {
        auto script = root / "read.py";
        std::ofstream(script) << R"(import sys, email
from email import policy
with open(sys.argv[1], 'rb') as f:
    m = email.message_from_binary_file(f, policy=policy.default)
for name in ('To', 'Cc', 'Bcc', 'Subject'):
    if m[name] is not None: print(name + ': ' + str(m[name]))
print('Text: ' + repr(m.get_body(preferencelist=('plain',)).get_content().replace('\r\n', '\n')))
for a in m.iter_attachments(): print('Attachment: ' + a.get_filename() + ' ' + a.get_content_type() + ' ' + a.get_content().hex())
print('Faults: %d' % (len(m.defects) + sum(len(p.defects) for p in m.walk())))
)";
        std::string out;
        if (FILE* p = ::popen(("python3 '" + script.string() + "' '" + file.string() + "' 2>&1").c_str(), "r")) {
            char buffer[4096];
            while (std::size_t n = std::fread(buffer, 1, sizeof buffer, p)) out.append(buffer, n);
            ::pclose(p);
        }
        return out;
    }
};

TEST_F(MailDraftTest, SaveKeepsTheDraftAsAMessageFileThatOutlivesTheProgram) {
    LogCapture log;
    auto delegate = std::make_shared<MailRecorder>();
    auto mail = MFMailComposeViewController::make();
    mail->setMailComposeDelegate(delegate);
    mail->setToRecipients({"support@korva.invalid", "b@example.invalid"});
    mail->setCcRecipients({"c@example.invalid"});
    mail->setSubject("[Korva 2.5] Hyvää päivää, 日本");
    mail->setMessageBody("Hi\nthere\r\n\n-- \nme", false);
    mail->addAttachmentData(Bytes{0xFF, 0xD8, 0x00, 0x2D, 0x2D}, "image/jpeg", "image_1.jpg");
    ASSERT_TRUE(mail->saveDraft());
    EXPECT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Saved}));
    auto files = draftFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].extension(), ".eml");
    EXPECT_TRUE(log.contains("draft saved to " + files[0].string()));
    const std::string first = readBack(files[0]);
    EXPECT_EQ(first,
              "To: support@korva.invalid, b@example.invalid\nCc: c@example.invalid\n"
              "Subject: [Korva 2.5] Hyvää päivää, 日本\nText: 'Hi\\nthere\\n\\n-- \\nme\\n'\n"
              "Attachment: image_1.jpg image/jpeg ffd8002d2d\nFaults: 0\n");

    // After a restart a new draft, saved in the same second, keeps the first; nothing in a
    // subject or a body starts a header, and a line too long for a message file still arrives.
    MFMailComposeViewController::clearMailboxes();
    auto again = MFMailComposeViewController::make();
    again->setMailComposeDelegate(delegate);
    again->setSubject("Hi\r\nBcc: evil@example.invalid");
    const std::string longLine(3000, 'x');
    again->setMessageBody("\r\nBcc: evil@example.invalid\n" + longLine, false);
    ASSERT_TRUE(again->saveDraft());
    EXPECT_EQ(delegate->results.back(), MFMailComposeResult::Saved);
    const auto kept = files[0];
    files = draftFiles();
    ASSERT_EQ(files.size(), 2u);
    const auto added = files[0] == kept ? files[1] : files[0];
    EXPECT_EQ(readBack(kept), first);
    EXPECT_EQ(readBack(added), "Subject: Hi  Bcc: evil@example.invalid\nText: '\\nBcc: evil@example.invalid\\n" +
                                   longLine +
                                   "\\n'\n"
                                   "Faults: 0\n");
}

TEST_F(MailDraftTest, ADraftThatCannotBeKeptIsFailedWithTheReason) {
    namespace fs = std::filesystem;
    // Permissions do not bind the superuser: files are then made as another user for the save.
    const bool superuser = ::geteuid() == 0;
    auto saveAsUser = [&](const std::shared_ptr<MailRecorder>& delegate) {
        auto mail = MFMailComposeViewController::make();
        mail->setMailComposeDelegate(delegate);
        mail->setSubject("kept?");
        if (superuser) {
            keptByTheProcess();
            ::setfsuid(65534);
        }
        const bool saved = mail->saveDraft();
        if (superuser) ::setfsuid(0);
        EXPECT_TRUE(saved);
        EXPECT_FALSE(mail->send()) << "the composer has reported";
    };
    const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                          fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;

    // The reason once, with the folder or the file by its own name and not the data folder's path.
    fs::permissions(root, readOnly);
    auto delegate = std::make_shared<MailRecorder>();
    saveAsUser(delegate);
    EXPECT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Failed}));
    EXPECT_EQ(delegate->error, "the draft could not be kept: cannot create the folder Drafts: Permission denied");
    EXPECT_TRUE(MFMailComposeViewController::drafts().empty());
    EXPECT_TRUE(draftFiles().empty());

    // The folder is there, and cannot be written.
    fs::permissions(root, readOnly | fs::perms::owner_write);
    fs::create_directories(mailDraftsDirectory());
    fs::permissions(mailDraftsDirectory(), readOnly);
    delegate = std::make_shared<MailRecorder>();
    saveAsUser(delegate);
    fs::permissions(mailDraftsDirectory(), fs::perms::owner_all);
    EXPECT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Failed}));
    EXPECT_TRUE(std::regex_match(delegate->error,
                                 std::regex("the draft could not be kept: cannot write draft-[0-9]{8}-[0-9]{6}\\.eml: "
                                            "Permission denied")))
        << delegate->error;
    EXPECT_TRUE(MFMailComposeViewController::drafts().empty());
    EXPECT_TRUE(draftFiles().empty());
}

// Programs on one data folder saving drafts in the same second (threads stand for them): every
// draft saved is a file of its own, and nothing else is left in the folder.
TEST_F(MailDraftTest, DraftsSavedAtOnceBySeveralWritersAreEachKept) {
    constexpr int kWriters = 4, kDrafts = 40;
    std::vector<std::vector<std::string>> saved(kWriters);
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([w, &saved] {
            for (int i = 0; i < kDrafts; ++i) {
                MailMessage message;
                message.subject = "writer " + std::to_string(w) + " draft " + std::to_string(i);
                if (auto path = saveMailDraft(message)) saved[w].push_back(*path);
            }
        });
    for (auto& writer : writers) writer.join();

    std::set<std::string> expected, found;
    for (int w = 0; w < kWriters; ++w) {
        EXPECT_EQ(saved[w].size(), std::size_t(kDrafts));
        for (int i = 0; i < kDrafts; ++i)
            expected.insert("writer " + std::to_string(w) + " draft " + std::to_string(i));
    }
    const auto files = draftFiles();
    EXPECT_EQ(files.size(), expected.size());
    for (const auto& file : files) {
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("Subject: ", 0) == 0) found.insert(line.substr(9, line.size() - 10));
    }
    EXPECT_EQ(found, expected);
}

// A share sheet over a temporary photo library.
struct ImageShareTest : MailShareTest {
    TempPhotoLibrary photos;
    void SetUp() override {
        MailShareTest::SetUp();
        photos.open(std::filesystem::temp_directory_path() / ("korva-share-" + std::to_string(::getpid())));
    }
    void TearDown() override {
        photos.close();
        MailShareTest::TearDown();
    }
    static std::shared_ptr<UIImage> picture(int width, int height) {
        UIGraphicsBeginImageContextWithOptions(CGSize{CGFloat(width), CGFloat(height)}, true, 1);
        UIGraphicsGetCurrentContext()->setFillColorWithColor(CGColor::rgb(0.1, 0.6, 0.3, 1));
        UIRectFill(CGRectMake(0, 0, width, height));
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        return image;
    }
    static std::vector<std::shared_ptr<PHAsset>> library() {
        auto result = PHAsset::fetchAssetsWithOptions(PHFetchOptions::make());
        return result ? result->assets() : std::vector<std::shared_ptr<PHAsset>>{};
    }
};

TEST_F(ImageShareTest, SaveImageIsOfferedForImagesAndPutsThemInTheLibrary) {
    auto has = [](const std::vector<std::string>& types, const char* type) {
        return std::find(types.begin(), types.end(), type) != types.end();
    };
    // Text alone: nothing to save; and nothing this machine has no service for.
    auto text = UIActivityViewController::make(ValueArray{Value("words")});
    EXPECT_FALSE(has(text->activityTypes(), UIActivityTypeSaveToCameraRoll));
    EXPECT_FALSE(text->chooseActivity(UIActivityTypeSaveToCameraRoll));
    EXPECT_FALSE(has(text->activityTypes(), UIActivityTypeMessage));
    EXPECT_FALSE(has(text->activityTypes(), UIActivityTypePrint));

    auto sheet = UIActivityViewController::make(ValueArray{Value("look"), Value(picture(48, 32))});
    ASSERT_TRUE(has(sheet->activityTypes(), UIActivityTypeSaveToCameraRoll));
    std::vector<std::string> reports;
    sheet->setCompletionWithItemsHandler(
        [&](const std::string& type, bool completed, const ValueArray&, const std::string& error) {
            reports.push_back(type + (completed ? " done" : " failed: " + error));
        });
    ASSERT_TRUE(root->presentViewController(sheet, false));
    ASSERT_TRUE(sheet->chooseActivity(UIActivityTypeSaveToCameraRoll));
    EXPECT_FALSE(sheet->cancel()) << "the choice is made";
    for (int i = 0; i < 3; ++i) {
        DispatchQueue::waitUntilBackgroundIdle();
        advance(0.5);
    }
    EXPECT_EQ(reports, (std::vector<std::string>{std::string(UIActivityTypeSaveToCameraRoll) + " done"}));
    auto saved = library();
    ASSERT_EQ(saved.size(), 1u);
    auto info = readImageInfo(*readFileBytes(saved[0]->filePath()));
    ASSERT_TRUE(info) << info.error();
    EXPECT_EQ(info->format, ImageFormat::JPEG);
    EXPECT_EQ(info->width, 48);
    EXPECT_EQ(info->height, 32);

    // A library that refuses (no permission) makes the save fail with a reason, and keeps nothing.
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Denied);
    auto refused = UIActivityViewController::make(ValueArray{Value(picture(8, 8))});
    refused->setCompletionWithItemsHandler(
        [&](const std::string&, bool completed, const ValueArray&, const std::string& error) {
            reports.push_back(completed ? "saved" : "refused: " + error);
        });
    ASSERT_TRUE(root->presentViewController(refused, false));
    ASSERT_TRUE(refused->chooseActivity(UIActivityTypeSaveToCameraRoll));
    for (int i = 0; i < 3; ++i) {
        DispatchQueue::waitUntilBackgroundIdle();
        advance(0.5);
    }
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].rfind("refused: ", 0), 0u) << reports[1];
    EXPECT_GT(reports[1].size(), std::string("refused: ").size());
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
    EXPECT_EQ(library().size(), 1u);
}

}  // namespace
