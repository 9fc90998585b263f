// The collection view: items of sections placed by a flow layout in a scroll view, made by the
// data source as they come into view and recycled by reuse identifier; headers and footers as
// supplementary views; selection. Main-thread only.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/table/ui_collection_view_flow_layout.h"
#include "platform/ui/table/ui_scroll_relay.h"

// A reusable view of a collection: cells and supplementary views.
class UICollectionReusableView : public UIView {
public:
    KORVA_MAKE(UICollectionReusableView)
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    virtual void prepareForReuse() {}
    std::string className() const override { return "UICollectionReusableView"; }

protected:
    explicit UICollectionReusableView(std::string reuseIdentifier = {})
        : UIView(CGRectMake(0, 0, 50, 50)), reuseIdentifier_(std::move(reuseIdentifier)) {}

private:
    std::string reuseIdentifier_;
};

class UICollectionViewCell : public UICollectionReusableView {
public:
    KORVA_MAKE(UICollectionViewCell)
    void init() override;
    std::shared_ptr<UIView> contentView() const { return contentView_; }
    std::shared_ptr<UIView> backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<UIView> v);
    std::shared_ptr<UIView> selectedBackgroundView() const { return selectedBackgroundView_; }
    void setSelectedBackgroundView(std::shared_ptr<UIView> v);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool s);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool h);
    void prepareForReuse() override;
    void layoutSubviews() override;
    std::string className() const override { return "UICollectionViewCell"; }

protected:
    explicit UICollectionViewCell(std::string reuseIdentifier = {})
        : UICollectionReusableView(std::move(reuseIdentifier)) {}

private:
    void updateLook();
    std::shared_ptr<UIView> contentView_, backgroundView_, selectedBackgroundView_;
    bool selected_ = false, highlighted_ = false;
};

inline constexpr const char* UICollectionElementKindSectionHeader = "UICollectionElementKindSectionHeader";
inline constexpr const char* UICollectionElementKindSectionFooter = "UICollectionElementKindSectionFooter";

class UICollectionViewDataSource {
public:
    virtual ~UICollectionViewDataSource() = default;
    virtual std::size_t numberOfSectionsInCollectionView(UICollectionView&) { return 1; }
    virtual std::size_t numberOfItemsInSection(UICollectionView&, std::size_t section) = 0;
    virtual std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(UICollectionView&, NSIndexPath) = 0;
    virtual std::shared_ptr<UICollectionReusableView> viewForSupplementaryElement(UICollectionView&, const std::string&,
                                                                                  NSIndexPath) {
        return nullptr;
    }
};

class UICollectionViewDelegate : public UIScrollViewDelegate, public UICollectionViewDelegateFlowLayout {
public:
    virtual bool shouldSelectItemAtIndexPath(UICollectionView&, NSIndexPath) { return true; }
    virtual void didSelectItemAtIndexPath(UICollectionView&, NSIndexPath) {}
    virtual void didDeselectItemAtIndexPath(UICollectionView&, NSIndexPath) {}
    virtual void willDisplayCell(UICollectionView&, UICollectionViewCell&, NSIndexPath) {}
    virtual void didEndDisplayingCell(UICollectionView&, UICollectionViewCell&, NSIndexPath) {}
};

class UICollectionView : public UIScrollView {
public:
    KORVA_MAKE(UICollectionView)
    void init() override;
    ~UICollectionView() override;

    std::shared_ptr<UICollectionViewFlowLayout> collectionViewLayout() const { return layout_; }
    void setCollectionViewLayout(std::shared_ptr<UICollectionViewFlowLayout> layout);
    std::shared_ptr<UICollectionViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const std::shared_ptr<UICollectionViewDataSource>& d);
    std::shared_ptr<UICollectionViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<UICollectionViewDelegate>& d);

    using CellFactory = std::function<std::shared_ptr<UICollectionViewCell>(const std::string&)>;
    void registerCell(const std::string& identifier, CellFactory factory);
    template <class Cell>
    void registerClass(const std::string& identifier) {
        registerCell(identifier, [](const std::string& id) {
            return std::static_pointer_cast<UICollectionViewCell>(Cell::make(id));
        });
    }
    // A waiting or new cell; an unregistered identifier gets a plain cell (and a warning).
    std::shared_ptr<UICollectionViewCell> dequeueReusableCellWithReuseIdentifier(const std::string& identifier,
                                                                                 NSIndexPath path);
    using SupplementaryFactory = std::function<std::shared_ptr<UICollectionReusableView>(const std::string&)>;
    void registerSupplementary(const std::string& kind, const std::string& identifier, SupplementaryFactory f);
    std::shared_ptr<UICollectionReusableView> dequeueReusableSupplementaryView(const std::string& kind,
                                                                               const std::string& identifier,
                                                                               NSIndexPath path);

    void reloadData();
    // Item updates: the data source already reflects them. Visible cells are asked again.
    void insertItemsAtIndexPaths(const std::vector<NSIndexPath>& paths);
    void deleteItemsAtIndexPaths(const std::vector<NSIndexPath>& paths);
    void reloadItemsAtIndexPaths(const std::vector<NSIndexPath>& paths);
    void performBatchUpdates(const std::function<void()>& updates, std::function<void(bool)> completion = nullptr);

    std::size_t numberOfSections();
    std::size_t numberOfItemsInSection(std::size_t section);
    std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(NSIndexPath path);
    std::vector<std::shared_ptr<UICollectionViewCell>> visibleCells();
    std::vector<NSIndexPath> indexPathsForVisibleItems();
    std::optional<NSIndexPath> indexPathForItemAtPoint(CGPoint p);
    std::optional<NSIndexPath> indexPathForCell(const UICollectionViewCell& cell) const;
    std::optional<UICollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(NSIndexPath path);
    void scrollToItemAtIndexPath(NSIndexPath path, bool animated);

    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool a) { allowsSelection_ = a; }
    bool allowsMultipleSelection() const { return allowsMultiple_; }
    void setAllowsMultipleSelection(bool a) { allowsMultiple_ = a; }
    std::vector<NSIndexPath> indexPathsForSelectedItems() const { return {selected_.begin(), selected_.end()}; }
    void selectItemAtIndexPath(std::optional<NSIndexPath> path, bool animated);
    void deselectItemAtIndexPath(NSIndexPath path, bool animated);
    // A user's tap on an item (asks the delegate, tells it).
    bool tapItemAtIndexPath(NSIndexPath path);

    void layoutSubviews() override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    bool takesTapAt(CGPoint p) override { return indexPathForItemAtPoint(p).has_value(); }
    std::string className() const override { return "UICollectionView"; }

protected:
    explicit UICollectionView(CGRect frame = CGRectZero, std::shared_ptr<UICollectionViewFlowLayout> layout = nullptr)
        : UIScrollView(frame), layout_(std::move(layout)) {}

private:
    void ensureLayout();
    void tile();
    void recycle(const NSIndexPath& path, const std::shared_ptr<UICollectionViewCell>& cell);
    bool validPath(NSIndexPath p) const { return p.section < counts_.size() && p.row < counts_[p.section]; }

    std::shared_ptr<UICollectionViewFlowLayout> layout_;
    std::weak_ptr<UICollectionViewDataSource> dataSource_;
    std::weak_ptr<UICollectionViewDelegate> delegate_;
    std::shared_ptr<UIScrollRelay> relay_;
    std::map<std::string, CellFactory> factories_;
    std::map<std::string, std::vector<std::shared_ptr<UICollectionViewCell>>> pool_;
    std::map<std::string, SupplementaryFactory> supplementaryFactories_;
    std::vector<std::size_t> counts_;
    bool layoutValid_ = false;
    CGSize laidOutFor_{-1, -1};
    std::map<NSIndexPath, std::shared_ptr<UICollectionViewCell>> visible_;
    std::vector<std::shared_ptr<UICollectionReusableView>> supplementary_;
    std::set<NSIndexPath> selected_;
    bool allowsSelection_ = true, allowsMultiple_ = false;
    bool tiling_ = false;
};
