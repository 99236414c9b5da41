// The automation object in process, without any bus: its interfaces and
// their slots, the singleton factory, the status text, IsDone, the events,
// late-bound calls through the registered type library, hand-off to a
// client, and the message box when the running object table refuses it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "agent/link_request.h"
#include "agent/request2_factory.h"
#include "agent/request2_ids.h"
#include "agent/tests/agent_test_support.h"
#include "platform/automation/type_library.h"
#include "platform/ui/message_box.h"
#include "platform/testing/vtable_slot.h"

namespace qap::testing {
namespace {

class CountingLock final : public IServerLock {
 public:
  void Lock() override { ++locks; }
  void Unlock() override { --locks; }
  std::atomic<int> locks{0};
};

// An event sink of a client: OnNotify values as they arrive.
class NotifyRecorder final : public IDispatch {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!IsEqualGUID(iid, DIID__IRequest2Events) && !IsEqualGUID(iid, IID_IDispatch))
      return E_NOINTERFACE;
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
    std::lock_guard<std::mutex> guard(*m_order);
    if (dispId == kDispIdOnNotify && params->cArgs == 1 && params->rgvarg[0].vt == VT_I2) {
      m_log->emplace_back(m_id, params->rgvarg[0].iVal);
    }
    return S_OK;
  }
  NotifyRecorder(int id, std::mutex* order, std::vector<std::pair<int, short>>* log)
      : m_id(id), m_order(order), m_log(log) {}

 private:
  std::atomic<ULONG> m_refs{1};
  int m_id;
  std::mutex* m_order;
  std::vector<std::pair<int, short>>* m_log;
};

std::string Ansi(const VARIANT& value) {
  return value.vt == VT_BSTR
             ? CComBSTR(std::u16string_view(value.bstrVal, SysStringLen(value.bstrVal))).Ansi()
             : "<not a string>";
}

class Request2Test : public AgentTest {
 protected:
  CRequest2& Object(bool registerActiveObject = false) {
    if (!m_factory) {
      Request2Options options;
      options.appDirectory = m_agentDir.Path();
      options.logFolder = m_agentDir.Path();
      options.registerActiveObject = registerActiveObject;
      options.serverLock = &m_lock;
      options.lockerHost = kWebHost;
      m_factory = ComPtr<CRequest2ClassFactory>::Attach(new CRequest2ClassFactory(options));
      EXPECT_EQ(m_factory->CreateInstance(nullptr, IID_IRequest2, m_request.OutVoid()), S_OK);
    }
    return *m_factory->Instance();
  }
  IRequest2& Request() {
    Object();
    return *m_request;
  }
  std::string Status() {
    VARIANT status;
    EXPECT_EQ(Request().GetStatusText(&status, 0), S_OK);
    std::string text = Ansi(status);
    VariantClear(&status);
    return text;
  }
  bool LoggedIn() {
    LONG loggedIn = -1;
    EXPECT_EQ(Request().IsLoggedIn(&loggedIn), S_OK);
    return loggedIn == 1;
  }
  void LogInThroughTheObject(const char* password = kPassword) {
    CComBSTR user(kUser), secret(password), code("qap");
    EXPECT_EQ(Request().Login(user.Ref(), secret.Ref(), code.Ref(), 0), S_OK);
  }
  HRESULT Invoke(DISPID dispId, std::vector<CComVariant> arguments, VARIANT* result = nullptr) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return Request().Invoke(dispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                            nullptr, nullptr);
  }
  void TearDown() override {
    m_request.Reset();
    m_factory.Reset();
    EXPECT_EQ(m_lock.locks.load(), 0);
  }

  ScratchHive m_hive;
  CountingLock m_lock;
  ComPtr<CRequest2ClassFactory> m_factory;
  ComPtr<IRequest2> m_request;
};

TEST(Request2Slots, TheThirteenMethodsFollowIDispatchInOrder) {
  using qap::testing::SlotOf;
  EXPECT_EQ(SlotOf(&IRequest2::Invoke), 6);
  EXPECT_EQ(SlotOf(&IRequest2::AddFile), 7);
  EXPECT_EQ(SlotOf(&IRequest2::Login), 8);
  EXPECT_EQ(SlotOf(&IRequest2::GotoLocker), 9);
  EXPECT_EQ(SlotOf(&IRequest2::Logout), 10);
  EXPECT_EQ(SlotOf(&IRequest2::GetStatusText), 11);
  EXPECT_EQ(SlotOf(&IRequest2::DownloadToClient), 12);
  EXPECT_EQ(SlotOf(&IRequest2::AddClient), 13);
  EXPECT_EQ(SlotOf(&IRequest2::RemoveClient), 14);
  EXPECT_EQ(SlotOf(&IRequest2::Download), 15);
  EXPECT_EQ(SlotOf(&IRequest2::IsDone), 16);
  EXPECT_EQ(SlotOf(&IRequest2::CancelAll), 17);
  EXPECT_EQ(SlotOf(&IRequest2::IsLoggedIn), 18);
  EXPECT_EQ(SlotOf(&IRequest2::GetVersion), 19);
}

TEST_F(Request2Test, TheFactoryHandsOutTheOneInstanceAndEveryReferenceLocksTheServer) {
  CRequest2& object = Object();
  EXPECT_EQ(m_lock.locks.load(), 1);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(m_factory->CreateInstance(nullptr, IID_IDispatch, dispatch.OutVoid()), S_OK);
  EXPECT_EQ(static_cast<IDispatch*>(dispatch.Get()), static_cast<IDispatch*>(&object));
  ComPtr<IUnknown> unknown;
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IUnknown> none;
  EXPECT_EQ(m_request.As(IID_IUnknown, &unknown), S_OK);
  EXPECT_EQ(m_request.As(IID_IConnectionPointContainer, &container), S_OK);
  EXPECT_EQ(m_request.As(IID_IClassFactory, &none), E_NOINTERFACE);
  EXPECT_EQ(m_lock.locks.load(), 4);
  ComPtr<IUnknown> aggregated;
  EXPECT_EQ(m_factory->CreateInstance(unknown.Get(), IID_IUnknown, aggregated.OutVoid()),
            CLASS_E_NOAGGREGATION);
  dispatch.Reset();
  unknown.Reset();
  container.Reset();
  EXPECT_EQ(m_lock.locks.load(), 1);
}

TEST_F(Request2Test, TheStatusTextSaysLoggedOutEvenWithRequestsWaiting) {
  StartLocker();
  CComBSTR path(MusicFile("song.mp3", 4000).c_str());
  ASSERT_EQ(Request().AddFile(path.Ref(), 0, 0), S_OK);
  ASSERT_EQ(Request().AddFile(path.Ref(), 0, 0), S_OK);
  EXPECT_EQ(Status(), "User is not logged in");
  LogInThroughTheObject();
  ASSERT_TRUE(WaitFor([this] { return Request().IsDone(CComVariant()) == S_OK; }));
  EXPECT_EQ(Status(), "Drag files here");
}

TEST_F(Request2Test, LoginOutcomesShowInIsLoggedInAndLogoutTellsEverySinkInOrder) {
  StartLocker();
  LogInThroughTheObject("wrong");
  EXPECT_FALSE(LoggedIn());
  LogInThroughTheObject();
  EXPECT_TRUE(LoggedIn());

  std::mutex order;
  std::vector<std::pair<int, short>> log;
  NotifyRecorder first(1, &order, &log), second(2, &order, &log);
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(m_request.As(IID_IConnectionPointContainer, &container), S_OK);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(DIID__IRequest2Events, point.Out()), S_OK);
  EXPECT_EQ(container->FindConnectionPoint(IID_IRequest2, point.Out()), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(container->FindConnectionPoint(DIID__IRequest2Events, point.Out()), S_OK);
  DWORD firstCookie = 0, secondCookie = 0;
  ASSERT_EQ(point->Advise(&first, &firstCookie), S_OK);
  ASSERT_EQ(point->Advise(&second, &secondCookie), S_OK);
  EXPECT_EQ(Request().Logout(0), S_OK);
  EXPECT_FALSE(LoggedIn());
  EXPECT_EQ(log, (std::vector<std::pair<int, short>>{{1, 23}, {2, 23}}));
  EXPECT_EQ(point->Unadvise(firstCookie), S_OK);
  EXPECT_EQ(point->Unadvise(secondCookie), S_OK);
}

TEST_F(Request2Test, AFolderAndALinkDroppedOnTheObjectBecomeTheirRequests) {
  MusicFile("one.mp3", 10);
  MusicFile("two.WMA", 10);
  MusicFile("notes.txt", 10);
  CComBSTR folder(m_musicDir.Path().c_str());
  CComBSTR link("https://example.test/song.mp3");
  ASSERT_EQ(Request().AddFile(folder.Ref(), 0, 0), S_OK);
  ASSERT_EQ(Request().AddFile(link.Ref(), 0, 0), S_OK);
  ASSERT_EQ(Request().AddFile(nullptr, 0, 0), S_OK);
  ASSERT_TRUE(WaitFor([this] { return Object().Manager().IsIdle() != FALSE; }));
  ASSERT_EQ(Object().Manager().RequestCount(), 3u);
  EXPECT_NE(dynamic_cast<CLinkRequest*>(Object().Manager().RequestAt(2)), nullptr);
}

TEST_F(Request2Test, LateBoundCallsGoByTheRegisteredTypeLibrarysIdentifiers) {
  CComVariant result;
  EXPECT_EQ(Invoke(kDispIdGetVersion, {}, &result), TYPE_E_LIBNOTREGISTERED);
  ASSERT_EQ(
      automation::RegisterTypeLibrary(std::string(std::getenv("QAP_BIN_DIR")) + "/LBAgent2.tlb"),
      S_OK);
  LPOLESTR names[] = {const_cast<LPOLESTR>(u"addclient"), const_cast<LPOLESTR>(u"path")};
  DISPID ids[2] = {};
  ASSERT_EQ(Request().GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids), S_OK);
  EXPECT_EQ(ids[0], kDispIdAddClient);
  EXPECT_EQ(ids[1], 2);
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(u"Upload")};
  EXPECT_EQ(Request().GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, ids),
            DISP_E_UNKNOWNNAME);

  ASSERT_EQ(Invoke(kDispIdGetVersion, {}, &result), S_OK);
  EXPECT_EQ(Ansi(result), "01.00");
  ASSERT_EQ(
      Invoke(kDispIdAddClient, {CComVariant("Player"), CComVariant("p %s"), CComVariant("/bin/p")}),
      S_OK);
  ASSERT_EQ(Object().Clients().Clients().size(), 1u);
  EXPECT_EQ(Object().Clients().Clients()[0].Path, "/bin/p");
  ASSERT_EQ(Invoke(kDispIdRemoveClient, {CComVariant("Player")}), S_OK);
  EXPECT_TRUE(Object().Clients().Clients().empty());
  ASSERT_EQ(Invoke(kDispIdGetStatusText, {CComVariant(std::int32_t{0})}, &result), S_OK);
  EXPECT_EQ(Ansi(result), "User is not logged in");
  ASSERT_EQ(Invoke(kDispIdIsLoggedIn, {}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 0);
  EXPECT_EQ(Invoke(kDispIdIsDone, {CComVariant()}), S_OK);
  EXPECT_EQ(Invoke(kDispIdIsDone, {CComVariant(std::int32_t{3})}), E_FAIL);
  VARIANT null;
  VariantInit(&null);
  null.vt = VT_NULL;
  EXPECT_EQ(Request().IsDone(null), E_FAIL);
  EXPECT_EQ(Invoke(kDispIdLogin, {CComVariant("too"), CComVariant("few")}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Invoke(kDispIdAddFile,
                   {CComVariant("x"), CComVariant("not a number"), CComVariant(std::int32_t{0})}),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Invoke(99, {}), DISP_E_MEMBERNOTFOUND);
  UINT count = 7;
  EXPECT_EQ(Request().GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
}

TEST_F(Request2Test, DownloadToClientStartsTheOnlyClientWithoutAsking) {
  CComBSTR file("C:\\Music\\a b.mp3");
  ASSERT_EQ(Request().DownloadToClient(file.Ref()), S_OK);
  std::string program =
      m_agentDir.Write("client", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n");
  chmod(program.c_str(), 0755);
  CComBSTR name("Player"), format("client \"%s\""), path(program.c_str());
  ASSERT_EQ(Request().AddClient(name.Ref(), format.Ref(), path.Ref()), S_OK);
  ASSERT_EQ(Request().DownloadToClient(file.Ref()), S_OK);
  EXPECT_TRUE(WaitFor([&] { return ReadFile(program + ".args") == "C:\\Music\\a b.mp3\n"; }))
      << ReadFile(program + ".args");
}

TEST_F(Request2Test, ARefusedRunningObjectTableRegistrationIsShownAndTheObjectGoesOn) {
  ScopedEnvironment noBus("DBUS_SESSION_BUS_ADDRESS", "unix:abstract=qap-no-bus-here");
  // Nobody is there to answer a server's box: it goes to standard error, as
  // its caption and text, and takes its OK.
  ::testing::internal::CaptureStderr();
  Object(true);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("[Failed to register in ROT] LBAgent\n"),
            std::string::npos);
  EXPECT_EQ(Status(), "User is not logged in");
}

}  // namespace
}  // namespace qap::testing
