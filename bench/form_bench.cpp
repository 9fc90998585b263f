// A settings form scrolled under the finger: one frame (layout and drawing) of a 500-row form of
// text, number and option rows scrolled by one screen, against the same scroll of a plain table
// of 500 default cells in the same run. The two take turns, each round timing both, so that a
// busy spell of the machine falls on both alike; each keeps its best round.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "bench/bench_timing.h"
#include "platform/host/headless_host.h"
#include "platform/ui/app/ui_window.h"
#include "settings/form/form_choice_items.h"
#include "settings/form/form_table_view_manager.h"
#include "settings/form/form_text_item.h"

namespace {

constexpr int kRows = 500;
constexpr int kFrames = 40;
constexpr int kRounds = 7;

// Plain rows from a data source of its own.
struct PlainRows : UITableViewDataSource {
    std::size_t numberOfRowsInSection(UITableView&, std::size_t) override { return kRows; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath p) override {
        auto cell = t.dequeueReusableCellWithIdentifier("plain", p);
        cell->textLabel()->setText("Row " + std::to_string(p.row));
        return cell;
    }
};

// Scrolls the table down one screen per frame (back to the top at the end) and draws each frame.
double scrollFrames(HeadlessHost& host, UITableView& table) {
    CGFloat page = table.bounds().size.height;
    CGFloat y = 0;
    return best(1,
                [&] {
                    for (int i = 0; i < kFrames; ++i) {
                        y += page;
                        if (y > table.contentSize().height - page) y = 0;
                        table.setContentOffset({0, y}, false);
                        host.renderFrame();
                    }
                }) /
           kFrames;
}

}  // namespace

int main() {
    HostOptions options = HostOptions::parse([](const char* name) -> const char* {
        std::string key = name;
        if (key == "KORVA_HOST") return "headless";
        if (key == "KORVA_TIME") return "virtual";
        if (key == "KORVA_SCREEN") return "notched";
        return nullptr;
    });
    HeadlessHost host(options);

    auto window = UIWindow::make();
    window->makeKeyAndVisible();
    CGRect b = window->bounds();

    auto plain = UITableView::make(b, UITableViewStyle::Plain);
    auto rows = std::make_shared<PlainRows>();
    plain->registerCell("plain",
                        [](const std::string& id) { return UITableViewCell::make(UITableViewCellStyle::Default, id); });
    plain->setDataSource(rows);
    window->addSubview(plain);

    auto form = UITableView::make(b, UITableViewStyle::Plain);
    window->addSubview(form);
    auto manager = FormTableViewManager::make(form);
    auto section = FormTableViewSection::make();
    for (int i = 0; i < kRows; ++i) {
        std::string title = "Field " + std::to_string(i);
        switch (i % 3) {
            case 0: section->addItem(FormTextItem::itemWithTitle(title, "Some text " + std::to_string(i))); break;
            case 1:
                section->addItem(FormNumberItem::itemWithTitle(title, std::to_string(i * 7919), std::nullopt,
                                                               std::string("XXX XXX XXX")));
                break;
            default:
                section->addItem(FormRadioItem::itemWithTitle(title, std::string("Choice ") + std::to_string(i % 5)));
                break;
        }
    }
    manager->addSection(section);
    form->reloadData();
    window->layoutIfNeeded();

    // Only the table being timed is shown.
    double plainFrame = 1e9, formFrame = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        form->setHidden(true);
        plain->setHidden(false);
        plainFrame = std::min(plainFrame, scrollFrames(host, *plain));
        plain->setHidden(true);
        form->setHidden(false);
        formFrame = std::min(formFrame, scrollFrames(host, *form));
    }

    std::printf("form: one screen of scrolling, %d rows: form %.2f ms, plain table %.2f ms per frame\n", kRows,
                formFrame * 1e3, plainFrame * 1e3);
    verdict("form / plain table, one frame scrolled by one screen", formFrame / plainFrame, 1.5);
    return 0;
}
