// The shell browser driven as a person drives Explorer, on the test's own
// thread, with a namespace extension of the tests' own found only through
// the registry: its tree, its views' windows, menus, status bar, keys,
// view-state streams, browsing, change notifications and new windows.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/registry/reg_key.h"
#include "platform/shell/my_computer.h"
#include "platform/shell/shell_browser.h"
#include "platform/shell/shell_notify.h"
#include "platform/shell/tests/test_namespace.h"
#include "platform/shell/view_state_streams.h"
#include "platform/testing/scratch.h"
#include "platform/ui/driver.h"
#include "platform/ui/progress_status.h"
#include "platform/ui/script/script.h"
#include "platform/ui/user32.h"

namespace {

using ui::script::Script;

const std::string kClassKey = "CLSID\\" + GuidToString(CLSID_TestNamespace);
const std::string kJunctionKey =
    std::string(kMyComputerNamespaceKey) + "\\" + GuidToString(CLSID_TestNamespace);

void SetDefault(HKEY root, const std::string& path, const std::string& value) {
  RegKey key;
  ASSERT_EQ(key.Create(root, path.c_str()), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key.Get(), nullptr, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)),
            ERROR_SUCCESS);
}

class ShellBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Loaded here by the path the registry names it by, so that the test
    // reads the notes of the very module the browser loads.
    const std::string module = std::string(std::getenv("QAP_BIN_DIR")) + "/" + kTestNamespaceModule;
    m_module = dlopen(module.c_str(), RTLD_NOW);
    ASSERT_NE(m_module, nullptr) << dlerror();
    m_log = reinterpret_cast<TestNamespaceLogFunction>(dlsym(m_module, "TestNamespaceLog"));
    m_add = reinterpret_cast<TestNamespaceAddFunction>(dlsym(m_module, "TestNamespaceAdd"));
    reinterpret_cast<TestNamespaceClearFunction>(dlsym(m_module, "TestNamespaceClear"))();
    Register();
  }
  void TearDown() override {
    if (m_module != nullptr) dlclose(m_module);
  }

  static void Register() {
    SetDefault(HKEY_CLASSES_ROOT, kClassKey, kTestNamespaceName);
    SetDefault(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32", kTestNamespaceModule);
    SetDefault(HKEY_LOCAL_MACHINE, kJunctionKey, kTestNamespaceName);
  }

  std::string Log() const { return m_log(); }

  // Runs the browser on path under the person's steps, until its windows
  // have closed. The last step closes what is left.
  static void Browse(const std::string& path, Script script, bool explore = true) {
    script.Then([](HWND) {
      for (HWND window : ui::driver::TopLevelWindows()) PostMessageA(window, WM_CLOSE, 0, 0);
    });
    ui::script::Runner person(std::move(script), ui::script::Services{});
    person.Start();
    LPITEMIDLIST folder = nullptr;
    ASSERT_EQ(ParseFolderPath(path, &folder), S_OK) << path;
    UniqueItemIdList owned(folder);
    EXPECT_EQ(RunShellBrowser(folder, explore), 0);
    person.ProgramEnded();
    EXPECT_TRUE(person.Finished() && !person.Failed()) << person.Failure();
  }

  static Script Steps(const std::string& text) {
    Script script;
    std::string error;
    EXPECT_TRUE(script.Add(text, &error)) << error;
    return script;
  }

  static std::string Title(HWND window) {
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    return title;
  }
  static HWND Status(HWND browser) { return GetDlgItem(browser, kBrowserStatusId); }
  static std::string StatusText(HWND browser) {
    char text[256] = "";
    SendMessageA(Status(browser), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
  }
  // The texts of the menu bar's Edit pop-up.
  static std::vector<std::string> EditItems(HWND browser) {
    std::vector<std::string> texts;
    for (const auto& item : ui::driver::MenuItems(GetMenu(browser))) {
      if (item.text != "&Edit") continue;
      for (const auto& inner : ui::driver::MenuItems(item.subMenu)) texts.push_back(inner.text);
    }
    return texts;
  }
  static bool HasViewWindow(HWND browser) {
    return FindWindowExA(browser, nullptr, "QapTestFolderView", nullptr) != nullptr;
  }

  qap::testing::ScratchHive m_hive;
  void* m_module = nullptr;
  TestNamespaceLogFunction m_log = nullptr;
  TestNamespaceAddFunction m_add = nullptr;
};

TEST_F(ShellBrowserTest, TheTreeShowsTheRegisteredFolderAndEachFolderBringsItsOwnViewAndMenus) {
  HWND browser = nullptr;
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "expand 100 \"My Computer\\Test Folder\"\n");
  script.Then([&](HWND window) {
    browser = window;
    EXPECT_EQ(Title(window), "Exploring - My Computer");
    EXPECT_FALSE(HasViewWindow(window)) << "My Computer has no view: its pane stays empty";
    const std::string tree = ui::driver::Describe(GetDlgItem(window, kBrowserTreeId));
    // Sorted by the folder's CompareIDs; only Alpha has folders below it.
    const size_t alpha = tree.find("+ \"Alpha\"");
    const size_t beta = tree.find("  \"Beta\"");
    EXPECT_NE(alpha, std::string::npos) << tree;
    EXPECT_NE(beta, std::string::npos) << tree;
    EXPECT_LT(alpha, beta) << tree;
    EXPECT_EQ(EditItems(window), std::vector<std::string>{});
  });
  script.Add("select 100 \"My Computer\\Test Folder\\Alpha\"\n", nullptr);
  script.Then([&](HWND window) {
    EXPECT_EQ(Title(window), "Exploring - Alpha");
    EXPECT_TRUE(HasViewWindow(window));
    EXPECT_EQ(StatusText(window), "Alpha shown") << "the view writes to the browser's status bar";
    EXPECT_EQ(EditItems(window), (std::vector<std::string>{"&Count", "&Browse First", "&Open First"}))
        << "the view's items in the browser's Edit pop-up";
    ui::driver::ChooseMenuItem(window, kCountCommand);
  });
  script.Add(
      "expand 100 \"My Computer\\Test Folder\\Alpha\"\n"
      "select 100 \"My Computer\\Test Folder\\Alpha\\Gamma\"\n",
      nullptr);
  script.Then([&](HWND window) {
    EXPECT_EQ(Title(window), "Exploring - Gamma");
    EXPECT_FALSE(HasViewWindow(window)) << "Gamma's folder makes no view";
    EXPECT_EQ(EditItems(window), std::vector<std::string>{}) << "the browser's own bar is back";
    EXPECT_EQ(StatusText(window), "");
  });
  script.Add("select 100 \"My Computer\"\n", nullptr);
  script.Then([&](HWND) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kJunctionKey.c_str());
  });
  script.Add("key F5\n", nullptr);
  script.Then([&](HWND window) {
    const std::string tree = ui::driver::Describe(GetDlgItem(window, kBrowserTreeId));
    EXPECT_EQ(tree.find("Test Folder"), std::string::npos) << "unregistered, it is gone:\n" << tree;
  });
  Browse("", std::move(script));
  ASSERT_NE(browser, nullptr);
  // The tree chose Alpha while the tree had the focus: the view came up
  // without it, was told to go, and took its menu items with it.
  EXPECT_EQ(Log(),
            "open Alpha state=none default view\n"
            "activate 1 Alpha\n"
            "command 120 Alpha\n"
            "save Alpha: 1\n"
            "activate 0 Alpha\n"
            "destroy Alpha\n");
}

TEST_F(ShellBrowserTest, WhatAViewSavedIsReadBackByTheNextBrowserForThatFolderOnly) {
  Script counting = Steps("wait class \"ExploreWClass\"\n");
  counting.Then([](HWND window) { ui::driver::ChooseMenuItem(window, kCountCommand); });
  counting.Then([](HWND window) { ui::driver::ChooseMenuItem(window, kCountCommand); });
  Browse("Test Folder\\Alpha", std::move(counting));
  EXPECT_NE(Log().find("save Alpha: 2\n"), std::string::npos) << Log();

  Browse("My Computer\\test folder\\alpha",
         Steps("wait class \"ExploreWClass\"\n"
               "select 100 \"My Computer\\Test Folder\\Beta\"\n"));
  EXPECT_NE(Log().find("open Alpha state=Alpha: 2 default view\n"), std::string::npos) << Log();
  EXPECT_NE(Log().find("open Beta state=none default view\n"), std::string::npos) << Log();
  // Explorer's own places: the folder's list in StreamMRU, its stream in
  // Streams\<slot>.
  RegKey streams;
  EXPECT_EQ(streams.Open(HKEY_CURRENT_USER, (std::string(kExplorerKey) + "\\Streams\\0").c_str()),
            ERROR_SUCCESS);
}

TEST_F(ShellBrowserTest, KeysGoToTheViewFirstAndBrowsingWaitsUntilTheViewHasReturned) {
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "key Q\n"
      "key F5\n"
      "key Back\n"
      "wait window \"Exploring - Test Folder\"\n");
  script.Then([&](HWND window) {
    // Q is the view's; F5 and Backspace the browser's.
    EXPECT_EQ(Log(),
              "open Alpha state=none default view\n"
              "activate 2 Alpha\n"
              "key Q Alpha\n"
              "refresh Alpha\n"
              "save Alpha: 0\n"
              "open  state=none default view\n"
              "activate 0 Alpha\n"
              "destroy Alpha\n"
              "activate 2 \n");
    reinterpret_cast<TestNamespaceClearFunction>(dlsym(m_module, "TestNamespaceClear"))();
    ui::driver::ChooseMenuItem(window, kBrowseFirstCommand);
  });
  script.Add("wait window \"Exploring - Alpha\"\n", nullptr);
  script.Then([](HWND window) {
    const std::string tree = ui::driver::Describe(GetDlgItem(window, kBrowserTreeId));
    EXPECT_NE(tree.find("\"Alpha\" selected"), std::string::npos) << tree;
  });
  Browse("Test Folder\\Alpha", std::move(script));
  EXPECT_EQ(Log(),
            "command 122 \n"
            "browse 0\n"
            "save : 0\n"
            "open Alpha state=Alpha: 0 default view\n"
            "activate 0 \n"
            "destroy \n"
            "activate 2 Alpha\n"
            "save Alpha: 0\n"
            "activate 0 Alpha\n"
            "destroy Alpha\n");
}

// The absolute list of a folder of the test extension.
UniqueItemIdList TestFolderList(const std::vector<std::string>& names) {
  LPITEMIDLIST junction = nullptr;
  EXPECT_EQ(ParseFolderPath("::" + GuidToString(CLSID_TestNamespace), &junction), S_OK);
  UniqueItemIdList list(junction);
  for (const std::string& name : names) {
    const std::string bytes = TestItemBytes(name) + std::string(2, '\0');
    list.reset(ILCombine(list.get(), reinterpret_cast<LPCITEMIDLIST>(bytes.data())));
  }
  return list;
}

TEST_F(ShellBrowserTest, AShellChangeFromAnyThreadRefreshesTheTreeAndTheViewShowingTheFolder) {
  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([&](HWND) {
    m_add("", "Delta");
    std::thread([] {
      UniqueItemIdList delta = TestFolderList({"Delta"});
      SHChangeNotify(SHCNE_MKDIR, SHCNF_IDLIST, delta.get(), nullptr);
    }).join();
  });
  script.Add("expand 100 \"My Computer\\Test Folder\\Delta\"\n", nullptr);
  Browse("Test Folder", std::move(script));
  EXPECT_NE(Log().find("refresh \n"), std::string::npos) << Log();
}

TEST_F(ShellBrowserTest, AFolderOpenedThroughTheShellGetsAWindowOfItsOwnWithoutTheTree) {
  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([](HWND window) { ui::driver::ChooseMenuItem(window, kOpenFirstCommand); });
  script.Add("wait class \"CabinetWClass\"\n", nullptr);
  script.Then([](HWND window) {
    EXPECT_EQ(Title(window), "Alpha");
    EXPECT_EQ(GetDlgItem(window, kBrowserTreeId), nullptr);
    EXPECT_EQ(StatusText(window), "Alpha shown");
    // Its view browses within it: Alpha's first child is Gamma.
    ui::driver::ChooseMenuItem(window, kBrowseFirstCommand);
  });
  script.Add("wait window \"Gamma\"\n", nullptr);
  Browse("Test Folder", std::move(script));
  EXPECT_NE(Log().find("open first 1\n"), std::string::npos) << Log();
  EXPECT_NE(Log().find("destroy Alpha\n"), std::string::npos) << "both windows closed: " << Log();
}

}  // namespace
