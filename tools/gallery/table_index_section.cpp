// A sectioned table with its side index strip, at the top and after a touch on a title.
#include <string>
#include <vector>

#include "platform/ui/app/ui_window.h"
#include "platform/ui/table/ui_table_view.h"
#include "tools/gallery/gallery.h"

namespace {

struct Countries : UITableViewDataSource {
    std::vector<std::pair<std::string, std::vector<std::string>>> sections = {
        {"A", {"Albania", "Andorra", "Austria"}},
        {"B", {"Belgium", "Bulgaria"}},
        {"C", {"Croatia", "Cyprus", "Czechia"}},
        {"D", {"Denmark"}},
        {"E", {"Estonia"}},
        {"F", {"Finland", "France"}},
        {"G", {"Germany", "Greece"}},
        {"H", {"Hungary"}},
        {"I", {"Iceland", "Ireland", "Italy"}},
        {"L", {"Latvia", "Lithuania", "Luxembourg"}},
        {"M", {"Malta", "Monaco", "Montenegro"}},
        {"N", {"Netherlands", "Norway"}},
        {"P", {"Poland", "Portugal"}},
        {"R", {"Romania"}},
        {"S", {"Serbia", "Slovakia", "Slovenia", "Spain", "Sweden", "Switzerland"}},
    };
    std::size_t numberOfSectionsInTableView(UITableView&) override { return sections.size(); }
    std::size_t numberOfRowsInSection(UITableView&, std::size_t s) override { return sections[s].second.size(); }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath p) override {
        auto cell = t.dequeueReusableCellWithIdentifier("c", p);
        cell->textLabel()->setText(sections[p.section].second[p.row]);
        return cell;
    }
    std::optional<std::string> titleForHeaderInSection(UITableView&, std::size_t s) override {
        return sections[s].first;
    }
    std::vector<std::string> sectionIndexTitles(UITableView&) override {
        std::vector<std::string> titles;
        for (const auto& section : sections) titles.push_back(section.first);
        return titles;
    }
};

}  // namespace

void galleryTableIndex(GalleryPage& page) {
    auto window = page.newWindow();
    static auto data = std::make_shared<Countries>();
    auto table = UITableView::make(window->bounds());
    table->registerClass<UITableViewCell>("c");
    table->setDataSource(data);
    window->addSubview(table);
    page.step(0.1);
    page.shotScreen("table-index-top");
    table->selectSectionIndexTitle(10);
    page.step(0.1);
    page.shotScreen("table-index-after-touch-on-M");
}
