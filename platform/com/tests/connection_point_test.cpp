// The ready-made connection point: who may connect, the order events reach
// the sinks, and whose reference count it shares.
#include <gtest/gtest.h>

#include <vector>

#include "platform/com/connection_point_impl.h"

namespace {

// {0B0A0000-0000-0000-0000-0000000000E1}
constexpr IID kEvents{0x0B0A0000, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0xE1}};

class Container final : public IConnectionPointContainer {
 public:
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  HRESULT EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT FindConnectionPoint(REFIID, IConnectionPoint**) override { return E_NOTIMPL; }
  ULONG refs = 1;
};

// Records the events it receives; answers the event interface when asked
// to.
class Sink final : public IDispatch {
 public:
  Sink(std::vector<std::pair<int, DISPID>>* log, int id, bool speaksEvents)
      : m_log(log), m_id(id), m_speaksEvents(speaksEvents) {}
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!IsEqualGUID(iid, kEvents) || !m_speaksEvents) return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IDispatch*>(this);
    return S_OK;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID dispId, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                 UINT*) override {
    m_log->emplace_back(m_id, dispId);
    return E_FAIL;  // a failing sink must not stop the others
  }
  ULONG refs = 1;

 private:
  std::vector<std::pair<int, DISPID>>* m_log;
  int m_id;
  bool m_speaksEvents;
};

TEST(ConnectionPoint, EventsReachTheSinksInTheOrderTheyConnected) {
  Container container;
  ConnectionPoint point(&container, kEvents);
  std::vector<std::pair<int, DISPID>> log;
  Sink first(&log, 1, true), second(&log, 2, true), mute(&log, 3, false);
  DWORD firstCookie = 0, secondCookie = 0, muteCookie = 0;
  ASSERT_EQ(point.Advise(&first, &firstCookie), S_OK);
  ASSERT_EQ(point.Advise(&second, &secondCookie), S_OK);
  EXPECT_EQ(point.Advise(&mute, &muteCookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_NE(firstCookie, secondCookie);
  EXPECT_EQ(first.refs, 2u);

  point.FireInvoke(1, nullptr);
  EXPECT_EQ(point.Unadvise(firstCookie), S_OK);
  EXPECT_EQ(point.Unadvise(firstCookie), CONNECT_E_NOCONNECTION);
  point.FireInvoke(2, nullptr);
  EXPECT_EQ(log, (std::vector<std::pair<int, DISPID>>{{1, 1}, {2, 1}, {2, 2}}));
  EXPECT_EQ(first.refs, 1u);

  IEnumConnections* connections = nullptr;
  ASSERT_EQ(point.EnumConnections(&connections), S_OK);
  CONNECTDATA data[2]{};
  ULONG fetched = 0;
  EXPECT_EQ(connections->Next(2, data, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  EXPECT_EQ(data[0].dwCookie, secondCookie);
  data[0].pUnk->Release();
  connections->Release();
  point.UnadviseAll();
  EXPECT_EQ(second.refs, 1u);
}

TEST(ConnectionPoint, SharesItsContainersReferenceCount) {
  Container container;
  ConnectionPoint point(&container, kEvents);
  point.AddRef();
  EXPECT_EQ(container.refs, 2u);
  IConnectionPointContainer* found = nullptr;
  ASSERT_EQ(point.GetConnectionPointContainer(&found), S_OK);
  EXPECT_EQ(found, &container);
  EXPECT_EQ(container.refs, 3u);
  found->Release();
  point.Release();
  EXPECT_EQ(container.refs, 1u);
  IID iid{};
  ASSERT_EQ(point.GetConnectionInterface(&iid), S_OK);
  EXPECT_EQ(iid, kEvents);
}

}  // namespace
