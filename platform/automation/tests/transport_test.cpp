// The automation transport on a private session bus: an object exported as
// the running instance of its class, reached by clients through
// CoCreateInstance, with its events, its client references, and what
// happens when a client or the bus goes away.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/automation/automation.h"
#include "platform/automation/private_bus.h"
#include "platform/automation/tests/sample_library.h"
#include "platform/automation/type_library.h"
#include "platform/base/process.h"
#include "platform/base/sync.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_point_impl.h"
#include "platform/registry/registry.h"
#include "platform/testing/scratch.h"

namespace qap::testing {
namespace {

std::string Ansi(const VARIANT& value) {
  return value.vt == VT_BSTR
             ? CComBSTR(std::u16string_view(value.bstrVal, SysStringLen(value.bstrVal))).Ansi()
             : "<not a string>";
}

// The sample class: Echo, Check, Fail, Fire and Hold, counting its
// references.
class SampleObject final : public IDispatch, public IConnectionPointContainer {
 public:
  SampleObject() : m_events(this, kSampleEvents), m_news(this, kSampleNews) {}

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDispatch) ||
        IsEqualGUID(iid, kSampleInterface)) {
      *object = static_cast<IDispatch*>(this);
    } else if (IsEqualGUID(iid, IID_IConnectionPointContainer)) {
      *object = static_cast<IConnectionPointContainer*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override {
    ++addRefs;
    return ++refs;
  }
  ULONG Release() override { return --refs; }
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID dispId, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                 UINT*) override {
    CComVariant text, number;
    switch (dispId) {
      case 1:
        DispGetParam(params, 0, VT_BSTR, &text, nullptr);
        DispGetParam(params, 1, VT_BSTR, &number, nullptr);
        VariantClear(result);
        result->vt = VT_BSTR;
        result->bstrVal = CComBSTR((Ansi(text) + ":" + Ansi(number)).c_str()).Detach();
        return S_OK;
      case 2: {
        const VARIANT& what = params->rgvarg[0];
        return what.vt == VT_EMPTY || (what.vt == VT_BSTR && Ansi(what) == "yes") ? S_OK : E_FAIL;
      }
      case 3: return E_ACCESSDENIED;
      case 4: m_events.FireInvoke(7, params); return S_OK;
      case 6: m_news.FireInvoke(7, params); return S_OK;
      case 5: {
        std::unique_lock<std::mutex> lock(m_holdMutex);
        holding = true;
        m_holdChanged.wait_for(lock, std::chrono::seconds(30), [this] { return m_released; });
        holding = false;
        return S_OK;
      }
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }
  // Lets every Hold return.
  void ReleaseHolds() {
    std::lock_guard<std::mutex> guard(m_holdMutex);
    m_released = true;
    m_holdChanged.notify_all();
  }
  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override {
    return CreateConnectionPointEnumerator({&m_events, &m_news}, points);
  }
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    for (ConnectionPoint* candidate : {&m_events, &m_news}) {
      if (!IsEqualGUID(iid, candidate->EventInterface())) continue;
      candidate->AddRef();
      *point = candidate;
      return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
  }

  std::atomic<ULONG> refs{0};
  std::atomic<ULONG> addRefs{0};
  std::atomic<bool> holding{false};

 private:
  ConnectionPoint m_events;
  ConnectionPoint m_news;
  std::mutex m_holdMutex;
  std::condition_variable m_holdChanged;
  bool m_released = false;
};

// A client's event sink on one interface: what its events carried, as text,
// in the order they arrived.
class RecordingSink final : public IDispatch {
 public:
  explicit RecordingSink(const IID& events = kSampleEvents) : m_iid(events) {}

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!IsEqualGUID(iid, m_iid) && !IsEqualGUID(iid, IID_IDispatch)) return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IDispatch*>(this);
    return S_OK;
  }
  ULONG AddRef() override { return ++m_refs; }
  ULONG Release() override { return --m_refs; }
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID dispId, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                 UINT*) override {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (dispId == 7 && params->cArgs == 1 && params->rgvarg[0].vt == VT_I2) {
      m_values.push_back(params->rgvarg[0].iVal);
    } else if (dispId == 7 && params->cArgs == 1) {
      m_texts.push_back(Ansi(params->rgvarg[0]));
    }
    return S_OK;
  }
  std::vector<short> Values() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_values;
  }
  std::vector<std::string> Texts() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_texts;
  }

 private:
  IID m_iid;
  std::atomic<ULONG> m_refs{1};
  std::mutex m_mutex;
  std::vector<short> m_values;
  std::vector<std::string> m_texts;
};

class TransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string path = m_dir.Write("sample.tlb", SampleLibraryText());
    ASSERT_EQ(automation::RegisterTypeLibrary(path), S_OK);
    ASSERT_EQ(
        RegSetValueA(HKEY_CLASSES_ROOT, "CLSID\\{7E570000-0000-0000-0000-0000000000C5}\\TypeLib",
                     REG_SZ, "{7E570000-0000-0000-0000-0000000000C1}", 0),
        ERROR_SUCCESS);
    std::string error;
    ASSERT_TRUE(m_bus.Start(&error)) << error;
    ASSERT_EQ(RegisterActiveObject(static_cast<IDispatch*>(&m_object), kSampleClass,
                                   ACTIVEOBJECT_WEAK, &m_registration),
              S_OK);
  }
  void TearDown() override {
    if (m_registration != 0) {
      EXPECT_EQ(RevokeActiveObject(m_registration, nullptr), S_OK);
    }
  }
  ComPtr<IDispatch> Connect() {
    SCOPED_TRACE("Connect");
    ComPtr<IDispatch> client;
    EXPECT_EQ(CoCreateInstance(kSampleClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                               client.OutVoid()),
              S_OK);
    return client;
  }
  // Runs dbus-send with options to take a reference on the sample's object
  // and waits (bounded) for it to end.
  static void TakeReferenceAndLeave(std::vector<std::string> options) {
    std::vector<std::string> args = {"dbus-send", "--session"};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {std::string("--dest=") + kSampleBusName, "/org/qap/test/Sample",
                             "org.qap.Automation.AddRef"});
    std::string line = ArgsToCommandLine(args);
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               nullptr, &started));
    EXPECT_EQ(WaitForSingleObject(started.hProcess, 10000), WAIT_OBJECT_0);
    CloseHandle(started.hProcess);
  }
  static HRESULT Call(IDispatch& client, DISPID dispId, std::vector<CComVariant> arguments,
                      VARIANT* result = nullptr) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return client.Invoke(dispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                         nullptr, nullptr);
  }

  ScratchHive m_hive;
  ScratchDir m_dir;
  automation::PrivateSessionBus m_bus{m_dir.File("bus"), m_dir.File("services"), m_dir.Path()};
  SampleObject m_object;
  DWORD m_registration = 0;
};

TEST_F(TransportTest, CallsCarryTheirArgumentsResultsAndFailures) {
  EXPECT_TRUE(IsClassRunning(kSampleClass));
  ComPtr<IDispatch> client = Connect();
  ASSERT_TRUE(client);
  EXPECT_EQ(m_object.refs.load(), 1u);

  CComVariant echo;
  ASSERT_EQ(Call(*client, 1, {CComVariant("h\xC3\xA9llo"), CComVariant(std::int32_t{42})}, &echo),
            S_OK);
  EXPECT_EQ(Ansi(echo), "h\xC3\xA9llo:42");
  // A number where a string is declared is converted on the way.
  ASSERT_EQ(Call(*client, 1, {CComVariant(SHORT{7}), CComVariant("12")}, &echo), S_OK);
  EXPECT_EQ(Ansi(echo), "7:12");
  EXPECT_EQ(Call(*client, 1, {CComVariant("x"), CComVariant("twelve")}, &echo),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Call(*client, 1, {CComVariant("too few")}, &echo), DISP_E_BADPARAMCOUNT);

  EXPECT_EQ(Call(*client, 2, {CComVariant()}), S_OK);
  EXPECT_EQ(Call(*client, 2, {CComVariant("yes")}), S_OK);
  EXPECT_EQ(Call(*client, 2, {CComVariant("no")}), E_FAIL);
  EXPECT_EQ(Call(*client, 2, {CComVariant(std::int32_t{1})}), E_FAIL);
  EXPECT_EQ(Call(*client, 3, {}), E_ACCESSDENIED);
  EXPECT_EQ(Call(*client, 99, {}), DISP_E_MEMBERNOTFOUND);

  LPOLESTR names[] = {const_cast<LPOLESTR>(u"ECHO"), const_cast<LPOLESTR>(u"number")};
  DISPID ids[2] = {};
  ASSERT_EQ(client->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids), S_OK);
  EXPECT_EQ(ids[0], 1);
  EXPECT_EQ(ids[1], 1);

  client.Reset();
  EXPECT_EQ(m_object.refs.load(), 0u);
}

TEST_F(TransportTest, EveryConnectedClientReceivesEveryEventInOrder) {
  ComPtr<IDispatch> first = Connect();
  ComPtr<IDispatch> second = Connect();
  ASSERT_TRUE(first && second);
  RecordingSink firstSink, secondSink;
  std::vector<std::pair<ComPtr<IConnectionPoint>, DWORD>> advised;
  for (auto [client, sink] : {std::pair{&first, &firstSink}, std::pair{&second, &secondSink}}) {
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ((*client).As(IID_IConnectionPointContainer, &container), S_OK);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(kSampleEvents, point.Out()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(sink, &cookie), S_OK);
    advised.emplace_back(point, cookie);
  }
  std::vector<short> expected;
  for (short value : {5, -3, 100}) {
    ASSERT_EQ(Call(*first, 4, {CComVariant(value)}), S_OK);
    // The event left the server before the reply, and arrives first.
    expected.push_back(value);
    EXPECT_EQ(firstSink.Values(), expected);
  }
  EXPECT_TRUE(WaitFor([&] { return secondSink.Values() == expected; }))
      << secondSink.Values().size() << " events";
  for (auto& [point, cookie] : advised) EXPECT_EQ(point->Unadvise(cookie), S_OK);
}

TEST_F(TransportTest, EachEventInterfaceReachesItsOwnSinksThoughTheirIdentifiersMeet) {
  ComPtr<IDispatch> client = Connect();
  ASSERT_TRUE(client);
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(client.As(IID_IConnectionPointContainer, &container), S_OK);
  RecordingSink events(kSampleEvents), news(kSampleNews);
  ComPtr<IConnectionPoint> eventsPoint, newsPoint;
  ASSERT_EQ(container->FindConnectionPoint(kSampleEvents, eventsPoint.Out()), S_OK);
  ASSERT_EQ(container->FindConnectionPoint(kSampleNews, newsPoint.Out()), S_OK);
  DWORD eventsCookie = 0, newsCookie = 0;
  ASSERT_EQ(eventsPoint->Advise(&events, &eventsCookie), S_OK);
  ASSERT_EQ(newsPoint->Advise(&news, &newsCookie), S_OK);
  ASSERT_EQ(Call(*client, 6, {CComVariant("extra")}), S_OK);
  ASSERT_EQ(Call(*client, 4, {CComVariant(SHORT{9})}), S_OK);
  EXPECT_EQ(news.Texts(), std::vector<std::string>{"extra"});
  EXPECT_EQ(events.Values(), std::vector<short>{9});
  EXPECT_TRUE(events.Texts().empty());
  EXPECT_TRUE(news.Values().empty());
  EXPECT_EQ(eventsPoint->Unadvise(eventsCookie), S_OK);
  EXPECT_EQ(newsPoint->Unadvise(newsCookie), S_OK);
}

TEST_F(TransportTest, AClientThatLeavesWithoutReleasingLosesItsReferences) {
  // dbus-send takes a reference and ends without giving it back.
  TakeReferenceAndLeave({"--print-reply"});
  EXPECT_TRUE(WaitFor([this] { return m_object.addRefs.load() >= 1 && m_object.refs.load() == 0; }))
      << m_object.refs.load() << " references left";
}

TEST_F(TransportTest, ACallThatWaitsHoldsUpNoOtherCall) {
  ComPtr<IDispatch> waiting = Connect();
  ComPtr<IDispatch> other = Connect();
  ASSERT_TRUE(waiting && other);
  HRESULT held = E_UNEXPECTED;
  std::thread holder([&] { held = Call(*waiting, 5, {}); });
  ASSERT_TRUE(WaitFor([this] { return m_object.holding.load(); }));
  CComVariant echo;
  EXPECT_EQ(Call(*other, 1, {CComVariant("meanwhile"), CComVariant(std::int32_t{1})}, &echo), S_OK);
  EXPECT_EQ(Ansi(echo), "meanwhile:1");
  // The same client may call again while its first call waits.
  EXPECT_EQ(Call(*waiting, 2, {CComVariant()}), S_OK);
  EXPECT_TRUE(m_object.holding.load());
  m_object.ReleaseHolds();
  holder.join();
  EXPECT_EQ(held, S_OK);
}

TEST_F(TransportTest, AReferenceWhoseSenderLeftBeforeItWasServedIsDropped) {
  // Without --print-reply, dbus-send leaves as soon as its AddRef is on its
  // way.
  TakeReferenceAndLeave({});
  EXPECT_TRUE(WaitFor([this] { return m_object.addRefs.load() >= 1 && m_object.refs.load() == 0; }))
      << m_object.refs.load() << " references left";
}

TEST_F(TransportTest, TheNameIsTakenOnceAndFreedOnRevoke) {
  SampleObject other;
  DWORD second = 0;
  EXPECT_EQ(RegisterActiveObject(static_cast<IDispatch*>(&other), kSampleClass, ACTIVEOBJECT_WEAK,
                                 &second),
            HResultFromWin32(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(second, 0u);
  EXPECT_EQ(other.refs.load(), 0u);
  ASSERT_EQ(RevokeActiveObject(m_registration, nullptr), S_OK);
  m_registration = 0;
  EXPECT_FALSE(IsClassRunning(kSampleClass));
  ComPtr<IDispatch> client;
  // Nobody owns the name and no service file can start a server.
  EXPECT_EQ(
      CoCreateInstance(kSampleClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, client.OutVoid()),
      CO_E_SERVER_EXEC_FAILURE);
}

TEST_F(TransportTest, WhenTheBusGoesAwayTheClientsReferencesGoWithIt) {
  ComPtr<IDispatch> client = Connect();
  ASSERT_EQ(m_object.refs.load(), 1u);
  m_bus.Stop();
  EXPECT_TRUE(WaitFor([this] { return m_object.refs.load() == 0; }));
  CComVariant echo;
  EXPECT_EQ(Call(*client, 1, {CComVariant("a"), CComVariant(std::int32_t{1})}, &echo),
            RPC_E_DISCONNECTED);
}

}  // namespace
}  // namespace qap::testing
