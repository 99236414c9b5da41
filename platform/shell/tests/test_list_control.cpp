// The list control the web browser control's tests embed: a report-style
// list of three songs in a window of its own, reporting its rows through
// IDispatch ("Rows").
#include <strings.h>

#include "platform/base/codepage.h"
#include "platform/com/com_object.h"
#include "platform/com/simple_class_factory.h"
#include "platform/shell/tests/test_namespace.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/ole/control_host.h"
#include "platform/ui/user32.h"

namespace {

class TestList final : public ComObject<TestList, WithoutTypeInfo<IDispatch>, IHostedControl> {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IDispatch, static_cast<IDispatch*>(this)},
            {&IID_IHostedControl, static_cast<IHostedControl*>(this)}};
  }

  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (names == nullptr || ids == nullptr || count != 1) return E_INVALIDARG;
    if (strcasecmp(WideToAnsi(names[0]).c_str(), "Rows") != 0) {
      *ids = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    *ids = kTestListRowsId;
    return S_OK;
  }

  HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                 UINT*) override {
    if (id != kTestListRowsId) return DISP_E_MEMBERNOTFOUND;
    if (result != nullptr) {
      VariantInit(result);
      result->vt = VT_I4;
      result->lVal = m_list != nullptr ? ListView_GetItemCount(m_list) : 0;
    }
    return S_OK;
  }

  HRESULT CreateControlWindow(HWND host, const RECT* rect, HWND* window) override {
    m_list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | LVS_REPORT,
                             rect->left, rect->top, rect->right - rect->left,
                             rect->bottom - rect->top, host, nullptr, nullptr, nullptr);
    if (m_list == nullptr) return E_FAIL;
    const char* columns[] = {"Song", "Duration"};
    for (int i = 0; i < 2; ++i) {
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.pszText = const_cast<LPSTR>(columns[i]);
      column.cx = i == 0 ? 220 : 90;
      ListView_InsertColumn(m_list, i, &column);
    }
    const char* rows[][2] = {
        {"Dancing Queen", "0:03:51"}, {"Bohemian Rhapsody", "0:05:55"}, {"Waterloo", "0:02:46"}};
    for (int row = 0; row < 3; ++row) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.pszText = const_cast<LPSTR>(rows[row][0]);
      ListView_InsertItem(m_list, &item);
      ListView_SetItemText(m_list, row, 1, rows[row][1]);
    }
    *window = m_list;
    return S_OK;
  }
  HRESULT MoveControlWindow(const RECT* rect) override {
    MoveWindow(m_list, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               TRUE);
    return S_OK;
  }
  HRESULT DestroyControlWindow() override {
    if (m_list != nullptr) DestroyWindow(m_list);
    m_list = nullptr;
    return S_OK;
  }

 private:
  friend ComObject<TestList, WithoutTypeInfo<IDispatch>, IHostedControl>;
  TestList() = default;
  ~TestList() { DestroyControlWindow(); }

  HWND m_list = nullptr;
};

}  // namespace

HRESULT TestListClassObject(REFIID iid, void** object) {
  return SimpleClassFactory<TestList>::NewInstance(iid, object);
}
