// List boxes: a list view over the control's entries; owner-drawn rows as
// their owner draws them (text and colours), the selection as the control
// keeps it; clicks are the driver's.
#include <QAbstractListModel>
#include <QListView>

#include "platform/ui/qt/controls.h"
#include "platform/ui/qt/input.h"

namespace ui::qt {

namespace {

QColor ColorOf(COLORREF color) { return QColor(GetRValue(color), GetGValue(color), GetBValue(color)); }

class EntriesModel : public QAbstractListModel {
 public:
  explicit EntriesModel(HWND window) : m_window(window) {}
  int rowCount(const QModelIndex& parent) const override {
    auto* list = driver::Model<driver::ListModel>(m_window);
    return parent.isValid() || list == nullptr ? 0 : list->Count();
  }
  QVariant data(const QModelIndex& index, int role) const override {
    auto* list = driver::Model<driver::ListModel>(m_window);
    if (list == nullptr || index.row() >= list->Count()) return {};
    auto* drawn = driver::Model<driver::OwnerDrawModel>(m_window);
    bool ownerDrawn = drawn != nullptr && drawn->OwnerDrawn();
    switch (role) {
      case Qt::DisplayRole:
        return ownerDrawn ? Text(drawn->Draw(index.row()).text) : Text(list->Text(index.row()));
      case Qt::ForegroundRole:
        if (ownerDrawn) return ColorOf(drawn->Draw(index.row()).textColor);
        return {};
      case Qt::BackgroundRole:
        if (ownerDrawn) {
          driver::DrawnItem item = drawn->Draw(index.row());
          if (item.filled) return ColorOf(item.backColor);
        }
        return {};
      case Qt::SizeHintRole:
        return QSize(-1, list->ItemHeight());
      default:
        return {};
    }
  }
  void Reload() {
    beginResetModel();
    endResetModel();
  }

 private:
  HWND m_window;
};

class ListBoxMirror : public Mirror {
 public:
  ListBoxMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) : Mirror(window, frontEnd) {
    m_view = new QListView(parent);
    m_entries = new EntriesModel(window);
    m_entries->setParent(m_view);
    m_view->setModel(m_entries);
    m_view->setUniformItemSizes(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    new RowClickFilter(window, m_view, false);
    new FileDropFilter(window, m_view->viewport());
    m_view->installEventFilter(new InputFilter(window, InputFilter::Kind::kKeysOnly, m_view));
    Adopt(m_view);
  }

  QWidget* ChildArea() const override { return m_view->viewport(); }

 protected:
  void RefreshContent() override {
    m_entries->Reload();
    auto* list = driver::Model<driver::ListModel>(Window());
    auto* drawn = driver::Model<driver::OwnerDrawModel>(Window());
    if (list == nullptr) return;
    // An owner-drawn row shows its own selection in the colours it chose.
    bool ownerDrawn = drawn != nullptr && drawn->OwnerDrawn();
    QItemSelection selection;
    for (int index = 0; !ownerDrawn && index < list->Count(); ++index) {
      if (list->Selected(index)) selection.select(m_entries->index(index), m_entries->index(index));
    }
    m_view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    // The caret is shown as the list box keeps it, without selecting it.
    QModelIndex caret = list->Current() >= 0 ? m_entries->index(list->Current()) : QModelIndex();
    m_view->selectionModel()->setCurrentIndex(caret, QItemSelectionModel::NoUpdate);
  }

 private:
  QListView* m_view;
  EntriesModel* m_entries;
};

}  // namespace

std::unique_ptr<Mirror> MakeListBoxMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  return std::make_unique<ListBoxMirror>(window, parent, frontEnd);
}

}  // namespace ui::qt
