// A controller whose view is a collection view with a given layout; it is the collection's data
// source and delegate until they are replaced. Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/table/ui_collection_view.h"

class UICollectionViewController : public UIViewController,
                                   public UICollectionViewDataSource,
                                   public UICollectionViewDelegate {
public:
    KORVA_MAKE(UICollectionViewController)

    // The layout the view is made with (a flow layout when none was given).
    std::shared_ptr<UICollectionViewFlowLayout> collectionViewLayout() const { return layout_; }
    // The controller's view (loaded on first access).
    std::shared_ptr<UICollectionView> collectionView();
    void setCollectionView(std::shared_ptr<UICollectionView> view);

    void loadView() override;

    // An empty collection until a subclass answers.
    std::size_t numberOfItemsInSection(UICollectionView&, std::size_t) override { return 0; }
    std::shared_ptr<UICollectionViewCell> cellForItemAtIndexPath(UICollectionView&, NSIndexPath) override {
        return nullptr;
    }
    std::string className() const override { return "UICollectionViewController"; }

protected:
    explicit UICollectionViewController(std::shared_ptr<UICollectionViewFlowLayout> layout = nullptr)
        : layout_(std::move(layout)) {}

private:
    std::shared_ptr<UICollectionViewFlowLayout> layout_;
};
