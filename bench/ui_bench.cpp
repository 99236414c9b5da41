// The window system's cost, each part in one run against a named baseline:
// (b) a report list view of 100,000 rows of six columns filled with redraw
// off, sorted by one column through an application comparison, then every
// row selected; baseline: the same rows copied into a plain vector, their
// indexes sorted with the same comparison, a flag set per row with its two
// changes told of by direct calls. Goals: fill under 150 ms, sort under
// 250 ms, select all under 50 ms. (c) 10,000 children inserted in sorted
// order under one tree item; baseline: the same names copied and inserted
// in order into a plain vector of pointers. Goal: under 100 ms.
#include <strings.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/user32.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Millis;

constexpr int kRounds = 5;
constexpr int kRows = 100000;
constexpr int kColumns = 6;
constexpr int kSortColumn = 3;
constexpr int kTreeChildren = 10000;

using Row = std::array<std::string, kColumns>;

// Rows shaped like a song list: title, duration, album, artist, genre, path.
std::vector<Row> MakeRows() {
  std::mt19937 random(19);
  std::uniform_int_distribution<int> pick(0, 99999);
  std::vector<Row> rows(kRows);
  for (int i = 0; i < kRows; ++i) {
    int n = pick(random);
    rows[static_cast<size_t>(i)] = Row{"Song title " + std::to_string(n),
                                       std::to_string(n % 5) + ":" + std::to_string(10 + n % 50) + ":00",
                                       "Album " + std::to_string(n % 10000),
                                       "Artist " + std::to_string(n % 5000),
                                       "Genre " + std::to_string(n % 50),
                                       "/home/music/Artist " + std::to_string(n % 5000) + "/song" +
                                           std::to_string(n) + ".mp3"};
  }
  return rows;
}

const std::vector<Row>* g_rows = nullptr;

// The application's comparison, on the rows its items point to.
int CompareByArtist(LPARAM first, LPARAM second, LPARAM column) {
  return std::strcmp((*g_rows)[static_cast<size_t>(first)][static_cast<size_t>(column)].c_str(),
                     (*g_rows)[static_cast<size_t>(second)][static_cast<size_t>(column)].c_str());
}

// What the baseline tells of each change, called directly as a parent's
// handler would be: Windows tells of every row twice when all are selected.
LRESULT TellNothing(const NMLISTVIEW* change) { return change->iItem < 0; }
LRESULT (*volatile g_tell)(const NMLISTVIEW*) = TellNothing;

HWND MakeParent() {
  WNDCLASSA parentClass{};
  parentClass.lpfnWndProc = DefWindowProcA;
  parentClass.lpszClassName = "UiBenchParent";
  RegisterClassA(&parentClass);
  return CreateWindowExA(0, "UiBenchParent", "ui_bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600,
                         nullptr, nullptr, nullptr, nullptr);
}

struct ListFigures {
  std::vector<double> fill, sort, select, baseFill, baseSort, baseSelect;
};

void ListRound(HWND parent, const std::vector<Row>& rows, ListFigures* figures) {
  HWND list = CreateWindowExA(0, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0,
                              780, 560, parent, nullptr, nullptr, nullptr);
  for (int column = 0; column < kColumns; ++column) {
    LVCOLUMNA info{};
    info.mask = LVCF_TEXT | LVCF_WIDTH;
    info.pszText = const_cast<char*>("Column");
    info.cx = 100;
    ListView_InsertColumn(list, column, &info);
  }

  auto start = Clock::now();
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < kRows; ++i) {
    const Row& row = rows[static_cast<size_t>(i)];
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = i;
    item.pszText = const_cast<char*>(row[0].c_str());
    item.lParam = i;
    int index = ListView_InsertItem(list, &item);
    for (int column = 1; column < kColumns; ++column) {
      ListView_SetItemText(list, index, column, row[static_cast<size_t>(column)].c_str());
    }
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  figures->fill.push_back(Millis(Clock::now() - start));

  start = Clock::now();
  ListView_SortItems(list, CompareByArtist, kSortColumn);
  figures->sort.push_back(Millis(Clock::now() - start));

  start = Clock::now();
  ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
  figures->select.push_back(Millis(Clock::now() - start));
  if (ListView_GetSelectedCount(list) != static_cast<UINT>(kRows)) std::fprintf(stderr, "ui_bench: select all failed\n");
  DestroyWindow(list);

  // The same work on rows kept directly: copied in, ordered by index with
  // the same comparison, flagged.
  start = Clock::now();
  std::vector<Row> kept(rows.begin(), rows.end());
  figures->baseFill.push_back(Millis(Clock::now() - start));
  start = Clock::now();
  std::vector<LPARAM> order(kept.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<LPARAM>(i);
  std::stable_sort(order.begin(), order.end(),
                   [](LPARAM a, LPARAM b) { return CompareByArtist(a, b, kSortColumn) < 0; });
  figures->baseSort.push_back(Millis(Clock::now() - start));
  start = Clock::now();
  std::vector<UINT> states(kept.size(), 0);
  for (size_t i = 0; i < states.size(); ++i) {
    NMLISTVIEW change{};
    change.iItem = static_cast<int>(i);
    change.uOldState = states[i];
    change.uNewState = states[i] | LVIS_SELECTED;
    g_tell(&change);
    states[i] |= LVIS_SELECTED;
    g_tell(&change);
  }
  figures->baseSelect.push_back(Millis(Clock::now() - start));
}

void ListViewPart(HWND parent) {
  std::vector<Row> rows = MakeRows();
  g_rows = &rows;
  ListFigures figures;
  for (int round = 0; round < kRounds; ++round) ListRound(parent, rows, &figures);
  double fill = Median(figures.fill), sort = Median(figures.sort), select = Median(figures.select);
  double baseFill = Median(figures.baseFill), baseSort = Median(figures.baseSort),
         baseSelect = Median(figures.baseSelect);
  std::printf("(b) list view, %d rows of %d columns, medians of %d rounds\n", kRows, kColumns, kRounds);
  std::printf("    filled with redraw off       %8.1f ms   goal < 150 ms: %-6s  plain vector %7.1f ms  ratio %.1f\n",
              fill, fill < 150 ? "met" : "MISSED", baseFill, fill / baseFill);
  std::printf("    sorted by a comparison       %8.1f ms   goal < 250 ms: %-6s  plain vector %7.1f ms  ratio %.1f\n",
              sort, sort < 250 ? "met" : "MISSED", baseSort, sort / baseSort);
  std::printf("    every row selected           %8.1f ms   goal < 50 ms:  %-6s  plain vector %7.1f ms  ratio %.1f\n",
              select, select < 50 ? "met" : "MISSED", baseSelect, select / baseSelect);
}

void TreeViewPart(HWND parent) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, 999999);
  std::vector<std::string> names;
  for (int i = 0; i < kTreeChildren; ++i) names.push_back("Folder " + std::to_string(pick(random)));

  std::vector<double> tree, base;
  for (int round = 0; round < kRounds; ++round) {
    HWND view = CreateWindowExA(0, WC_TREEVIEW, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 0, 0,
                                300, 560, parent, nullptr, nullptr, nullptr);
    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>("C:");
    HTREEITEM drive = TreeView_InsertItem(view, &insert);
    auto start = Clock::now();
    insert.hParent = drive;
    insert.hInsertAfter = TVI_SORT;
    for (const std::string& name : names) {
      insert.item.pszText = const_cast<char*>(name.c_str());
      TreeView_InsertItem(view, &insert);
    }
    tree.push_back(Millis(Clock::now() - start));
    DestroyWindow(view);

    start = Clock::now();
    std::vector<std::string> copies(names.begin(), names.end());
    std::vector<const std::string*> ordered;
    for (const std::string& name : copies) {
      auto at = std::upper_bound(ordered.begin(), ordered.end(), &name,
                                 [](const std::string* a, const std::string* b) {
                                   return strcasecmp(a->c_str(), b->c_str()) < 0;
                                 });
      ordered.insert(at, &name);
    }
    base.push_back(Millis(Clock::now() - start));
  }
  double inserted = Median(tree), plain = Median(base);
  std::printf("(c) tree view, %d children inserted sorted under one item, medians of %d rounds\n", kTreeChildren,
              kRounds);
  std::printf("    inserted with TVI_SORT       %8.1f ms   goal < 100 ms: %-6s  plain vector %7.1f ms  ratio %.1f\n",
              inserted, inserted < 100 ? "met" : "MISSED", plain, inserted / plain);
}

}  // namespace

void BenchMessageRoundTrips();

int main(int argc, char** argv) {
  if (argc > 1) {
    bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
    std::fprintf(help ? stdout : stderr,
                 "usage: ui_bench\nTimes the window system's controls against plain containers "
                 "and prints each figure with its goal.\n");
    return help ? 0 : 2;
  }
  BenchMessageRoundTrips();
  HWND parent = MakeParent();
  if (parent == nullptr) {
    std::fprintf(stderr, "ui_bench: cannot make a window\n");
    return 1;
  }
  ListViewPart(parent);
  TreeViewPart(parent);
  DestroyWindow(parent);
  return 0;
}
