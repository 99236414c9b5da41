// Tree views: a tree over the control's items, children read when a branch
// is shown, expansion and selection as the control keeps them. Opening a
// branch goes to the control (which may fill it then), never straight to
// the tree.
#include <QAbstractItemModel>
#include <QMouseEvent>
#include <QTreeView>

#include <unordered_map>
#include <vector>

#include "platform/ui/qt/controls.h"
#include "platform/ui/qt/image_cache.h"
#include "platform/ui/qt/input.h"

namespace ui::qt {

namespace {

class ItemsModel : public QAbstractItemModel {
 public:
  explicit ItemsModel(HWND window) : m_window(window) {}

  QModelIndex index(int row, int column, const QModelIndex& parent) const override {
    const std::vector<HTREEITEM>& children = ChildrenOf(ItemOf(parent));
    if (column != 0 || row < 0 || row >= static_cast<int>(children.size())) return {};
    return createIndex(row, 0, children[static_cast<size_t>(row)]);
  }

  QModelIndex parent(const QModelIndex& child) const override {
    auto it = m_parents.find(ItemOf(child));
    if (it == m_parents.end() || it->second == nullptr) return {};
    HTREEITEM parent = it->second;
    auto grand = m_parents.find(parent);
    const std::vector<HTREEITEM>& siblings = ChildrenOf(grand != m_parents.end() ? grand->second : nullptr);
    for (size_t row = 0; row < siblings.size(); ++row) {
      if (siblings[row] == parent) return createIndex(static_cast<int>(row), 0, parent);
    }
    return {};
  }

  int rowCount(const QModelIndex& parent) const override {
    if (parent.isValid() && !Expanded(ItemOf(parent))) return 0;
    return static_cast<int>(ChildrenOf(ItemOf(parent)).size());
  }
  int columnCount(const QModelIndex&) const override { return 1; }

  bool hasChildren(const QModelIndex& parent) const override {
    if (!parent.isValid()) return true;
    driver::TreeItemInfo info;
    return Info(ItemOf(parent), &info) && info.hasChildren;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    driver::TreeItemInfo info;
    if (!Info(ItemOf(index), &info)) return {};
    if (role == Qt::DisplayRole) return Text(info.text);
    if (role == Qt::DecorationRole) {
      auto* tree = driver::Model<driver::TreeViewModel>(m_window);
      return m_images.Get(tree != nullptr ? tree->ImageList() : nullptr,
                          info.selected && info.selectedImage >= 0 ? info.selectedImage : info.image);
    }
    return {};
  }

  void Reload() {
    beginResetModel();
    m_children.clear();
    m_parents.clear();
    m_images.Clear();
    endResetModel();
  }

  static HTREEITEM ItemOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<HTREEITEM>(index.internalPointer()) : nullptr;
  }
  bool Expanded(HTREEITEM item) const {
    driver::TreeItemInfo info;
    return Info(item, &info) && info.expanded;
  }
  // The index of item, when it has been shown.
  QModelIndex IndexOf(HTREEITEM item) const {
    auto it = m_parents.find(item);
    if (it == m_parents.end()) return {};
    const std::vector<HTREEITEM>& siblings = ChildrenOf(it->second);
    for (size_t row = 0; row < siblings.size(); ++row) {
      if (siblings[row] == item) return createIndex(static_cast<int>(row), 0, item);
    }
    return {};
  }

 private:
  bool Info(HTREEITEM item, driver::TreeItemInfo* info) const {
    auto* tree = driver::Model<driver::TreeViewModel>(m_window);
    return tree != nullptr && item != nullptr && tree->Item(item, info);
  }
  const std::vector<HTREEITEM>& ChildrenOf(HTREEITEM parent) const {
    auto it = m_children.find(parent);
    if (it != m_children.end()) return it->second;
    auto* tree = driver::Model<driver::TreeViewModel>(m_window);
    std::vector<HTREEITEM> children = tree != nullptr ? tree->ChildItems(parent) : std::vector<HTREEITEM>{};
    for (HTREEITEM child : children) m_parents[child] = parent;
    return m_children.emplace(parent, std::move(children)).first->second;
  }

  HWND m_window;
  mutable std::unordered_map<HTREEITEM, std::vector<HTREEITEM>> m_children;
  mutable std::unordered_map<HTREEITEM, HTREEITEM> m_parents;
  ImageCache m_images;
};

class TreeViewMirror : public Mirror {
 public:
  TreeViewMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) : Mirror(window, frontEnd) {
    m_tree = new QTreeView(parent);
    m_items = new ItemsModel(window);
    m_items->setParent(m_tree);
    m_tree->setModel(m_items);
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setUniformRowHeights(true);
    // Opening a branch is the control's to do; the tree shows it once done.
    QObject::connect(m_tree, &QTreeView::expanded, [this, window](const QModelIndex& index) {
      if (m_refreshing) return;
      HTREEITEM item = ItemsModel::ItemOf(index);
      if (!m_items->Expanded(item)) driver::ExpandTreeItem(window, item, true);
    });
    QObject::connect(m_tree, &QTreeView::collapsed, [this, window](const QModelIndex& index) {
      if (m_refreshing) return;
      HTREEITEM item = ItemsModel::ItemOf(index);
      if (m_items->Expanded(item)) driver::ExpandTreeItem(window, item, false);
    });
    m_tree->viewport()->installEventFilter(new ItemInput(window, m_tree));
    new FileDropFilter(window, m_tree->viewport(), [this](QPoint point, int*, HTREEITEM* item) {
      *item = ItemsModel::ItemOf(m_tree->indexAt(point));
    });
    m_tree->installEventFilter(new InputFilter(window, InputFilter::Kind::kKeysOnly, m_tree));
    Adopt(m_tree);
  }

  QWidget* ChildArea() const override { return m_tree->viewport(); }

 protected:
  void RefreshContent() override {
    m_refreshing = true;
    m_items->Reload();
    ExpandShown({});
    auto* tree = driver::Model<driver::TreeViewModel>(Window());
    if (tree != nullptr) {
      QModelIndex selected = m_items->IndexOf(tree->Selection());
      m_tree->selectionModel()->setCurrentIndex(selected, QItemSelectionModel::ClearAndSelect);
    }
    m_refreshing = false;
  }

 private:
  // Expands the branches the control has open, from the roots down.
  void ExpandShown(const QModelIndex& parent) {
    for (int row = 0; row < m_items->rowCount(parent); ++row) {
      QModelIndex child = m_items->index(row, 0, parent);
      if (m_items->Expanded(ItemsModel::ItemOf(child))) {
        m_tree->expand(child);
        ExpandShown(child);
      }
    }
  }

  class ItemInput : public QObject {
   public:
    ItemInput(HWND window, QTreeView* tree) : QObject(tree), m_window(window), m_tree(tree) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick) {
        return false;
      }
      auto* mouse = static_cast<QMouseEvent*>(event);
      QModelIndex at = m_tree->indexAt(mouse->position().toPoint());
      HTREEITEM item = ItemsModel::ItemOf(at);
      // Left of an item's text is its expand button: the tree's own.
      if (at.isValid() && mouse->position().x() < m_tree->visualRect(at).left()) return false;
      if (item == nullptr) return true;
      if (mouse->button() == Qt::RightButton) {
        driver::RightClickTreeItem(m_window, item);
      } else if (event->type() == QEvent::MouseButtonDblClick) {
        driver::ExpandTreeItem(m_window, item, !Expanded(item));
      } else {
        driver::ClickTreeItem(m_window, item);
      }
      return true;
    }

   private:
    bool Expanded(HTREEITEM item) const {
      driver::TreeItemInfo info;
      auto* tree = driver::Model<driver::TreeViewModel>(m_window);
      return tree != nullptr && tree->Item(item, &info) && info.expanded;
    }
    HWND m_window;
    QTreeView* m_tree;
  };

  QTreeView* m_tree;
  ItemsModel* m_items;
  bool m_refreshing = false;
};

}  // namespace

std::unique_ptr<Mirror> MakeTreeViewMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  return std::make_unique<TreeViewMirror>(window, parent, frontEnd);
}

}  // namespace ui::qt
