// Report list views: a table view over a model that reads the control's rows
// where they are (no widget or copy per row), so that a hundred thousand
// rows open and scroll at once; cell images from the control's image lists,
// colours from the owner's custom drawing, the selection as the control keeps
// it. Clicks on rows and column headers are the driver's.
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QTableView>

#include <map>

#include "platform/ui/qt/controls.h"
#include "platform/ui/qt/image_cache.h"
#include "platform/ui/qt/input.h"

namespace ui::qt {

namespace {

constexpr COLORREF kDefaultColor = 0xFF000000;
constexpr UINT kSelected = 0x0002;
constexpr UINT kFocused = 0x0001;
constexpr DWORD kSubItemImages = 0x0002;
constexpr DWORD kGridLines = 0x0001;
constexpr int kSmallImages = 1;

QColor ColorOf(COLORREF color) { return QColor(GetRValue(color), GetGValue(color), GetBValue(color)); }

class RowsModel : public QAbstractTableModel {
 public:
  explicit RowsModel(HWND window) : m_window(window) { Load(); }

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : m_rows; }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : m_columns;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    auto* list = Model();
    if (list == nullptr || index.row() >= list->RowCount()) return {};
    int row = index.row();
    int column = index.column();
    switch (role) {
      case Qt::DisplayRole:
        return Text(list->CellText(row, column));
      case Qt::DecorationRole: {
        if (column > 0 && !(list->ExtendedStyle() & kSubItemImages)) return {};
        int image = list->CellImage(row, column);
        if (image < 0) return {};
        return m_images.Get(list->ImageList(kSmallImages), image);
      }
      case Qt::ForegroundRole:
      case Qt::BackgroundRole: {
        driver::CellColors colors = list->Colors(row, column);
        COLORREF color = role == Qt::ForegroundRole ? colors.text : colors.background;
        if (color == kDefaultColor) return {};
        return ColorOf(color);
      }
      default:
        return {};
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    auto* list = Model();
    if (list == nullptr || orientation != Qt::Horizontal || role != Qt::DisplayRole ||
        section >= list->ColumnCount()) {
      return {};
    }
    return Text(list->Column(section).text);
  }

  // The control's own change, told afterwards: Qt's rules want counts told
  // before, so the counts here follow the control only inside begin and end.
  void Inserted(int first, int count) {
    beginInsertRows({}, first, first + count - 1);
    m_rows += count;
    endInsertRows();
  }
  void Removed(int first, int count) {
    beginRemoveRows({}, first, first + count - 1);
    m_rows -= count;
    endRemoveRows();
  }
  void Changed(int first, int count) {
    emit dataChanged(index(first, 0), index(first + count - 1, std::max(0, m_columns - 1)));
  }
  void Reload() {
    beginResetModel();
    m_images.Clear();
    Load();
    endResetModel();
  }
  int Rows() const { return m_rows; }

 private:
  driver::ListViewModel* Model() const { return driver::Model<driver::ListViewModel>(m_window); }
  void Load() {
    auto* list = Model();
    m_rows = list != nullptr ? list->RowCount() : 0;
    m_columns = list != nullptr ? std::max(1, list->ColumnCount()) : 1;
  }

  HWND m_window;
  int m_rows = 0;
  int m_columns = 1;
  ImageCache m_images;
};

class ListViewMirror : public Mirror {
 public:
  ListViewMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) : Mirror(window, frontEnd) {
    m_table = new QTableView(parent);
    m_rows = new RowsModel(window);
    m_table->setModel(m_rows);
    m_table->setParent(parent);
    m_rows->setParent(m_table);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->setWordWrap(false);
    m_table->setShowGrid(false);
    QObject::connect(m_table->horizontalHeader(), &QHeaderView::sectionClicked,
                     [window](int column) { driver::ClickColumn(window, column); });
    new RowClickFilter(window, m_table, true);
    new FileDropFilter(window, m_table->viewport(), [this](QPoint point, int* row, HTREEITEM*) {
      QModelIndex at = m_table->indexAt(point);
      *row = at.isValid() ? at.row() : -1;
    });
    m_table->installEventFilter(new InputFilter(window, InputFilter::Kind::kKeysOnly, m_table));
    Adopt(m_table);
  }

  QWidget* ChildArea() const override { return m_table->viewport(); }

  void Refresh(driver::Change change, int first, int count) override {
    switch (change) {
      case driver::Change::kRowsInserted:
        m_rows->Inserted(first, count);
        break;
      case driver::Change::kRowsRemoved:
        m_rows->Removed(first, count);
        break;
      case driver::Change::kRowsChanged:
        m_rows->Changed(first, count);
        RefreshSelection();
        break;
      case driver::Change::kSelection:
        RefreshSelection();
        break;
      case driver::Change::kColumns:
      case driver::Change::kRedraw:
        RefreshContent();
        break;
      default:
        Mirror::Refresh(change, first, count);
        break;
    }
  }

  QTableView* Table() const { return m_table; }

 protected:
  void RefreshContent() override {
    auto* list = driver::Model<driver::ListViewModel>(Window());
    if (list == nullptr) return;
    m_rows->Reload();
    for (int column = 0; column < list->ColumnCount(); ++column) {
      m_table->horizontalHeader()->resizeSection(column, list->Column(column).width);
    }
    m_table->setShowGrid((list->ExtendedStyle() & kGridLines) != 0);
    RefreshSelection();
  }

 private:
  void RefreshSelection() {
    auto* list = driver::Model<driver::ListViewModel>(Window());
    if (list == nullptr) return;
    QItemSelection selection;
    int rows = std::min(list->RowCount(), m_rows->Rows());
    int columns = m_rows->columnCount({});
    int focused = -1;
    for (int row = 0; row < rows;) {
      UINT state = list->RowState(row);
      if (state & kFocused) focused = row;
      if (!(state & kSelected)) {
        ++row;
        continue;
      }
      int end = row;
      while (end + 1 < rows && (list->RowState(end + 1) & kSelected)) {
        if (list->RowState(end + 1) & kFocused) focused = end + 1;
        ++end;
      }
      selection.select(m_rows->index(row, 0), m_rows->index(end, columns - 1));
      row = end + 1;
    }
    auto* model = m_table->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect);
    if (focused >= 0) model->setCurrentIndex(m_rows->index(focused, 0), QItemSelectionModel::NoUpdate);
  }

  QTableView* m_table;
  RowsModel* m_rows;
};

}  // namespace

std::unique_ptr<Mirror> MakeListViewMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  return std::make_unique<ListViewMirror>(window, parent, frontEnd);
}

}  // namespace ui::qt
