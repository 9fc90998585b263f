// Collection controller: the collection made in loadView with the controller as its source.
#include "platform/ui/controller/ui_collection_view_controller.h"

#include "platform/ui/app/ui_screen.h"

std::shared_ptr<UICollectionView> UICollectionViewController::collectionView() {
    return std::dynamic_pointer_cast<UICollectionView>(view());
}

void UICollectionViewController::setCollectionView(std::shared_ptr<UICollectionView> view) {
    setView(std::move(view));
}

void UICollectionViewController::loadView() {
    if (!layout_) layout_ = UICollectionViewFlowLayout::make();
    auto collection = UICollectionView::make(UIScreen::mainScreen()->bounds(), layout_);
    collection->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    auto me = self<UICollectionViewController>();
    collection->setDataSource(std::static_pointer_cast<UICollectionViewDataSource>(me));
    collection->setDelegate(std::static_pointer_cast<UICollectionViewDelegate>(me));
    setView(collection);
}
