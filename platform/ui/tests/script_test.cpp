// Window scripts: a dialog driven from before it opens through every kind of
// step a person takes, a message box answered over it, a snapshot of it; a
// failing step named by its line, with the dialog ended rather than left
// waiting; lines a script cannot hold refused when it is read.
#include <gtest/gtest.h>

#include <string>

#include "platform/testing/scratch.h"
#include "platform/ui/script/script.h"
#include "platform/ui/user32.h"

namespace {

constexpr int kName = 10;
constexpr int kKinds = 11;
constexpr int kTracks = 12;
constexpr int kTmp = 13;
constexpr int kConvert = 14;

struct Seen {
  std::string name;
  std::string kind;
  int track = -1;
  bool tmp = false;
  int answer = 0;
};
Seen g_seen;

INT_PTR FormProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    for (const char* kind : {"wav", "wma", "mp3"}) {
      SendDlgItemMessageA(dialog, kKinds, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kind));
    }
    for (const char* track : {"Intro", "Song", "Outro"}) {
      SendDlgItemMessageA(dialog, kTracks, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(track));
    }
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case kConvert: {
      char text[64];
      GetDlgItemTextA(dialog, kName, text, sizeof text);
      g_seen.name = text;
      GetDlgItemTextA(dialog, kKinds, text, sizeof text);
      g_seen.kind = text;
      g_seen.track = static_cast<int>(SendDlgItemMessageA(dialog, kTracks, LB_GETCURSEL, 0, 0));
      g_seen.tmp = IsDlgButtonChecked(dialog, kTmp) == BST_CHECKED;
      g_seen.answer = MessageBoxA(dialog, "Convert 1 track?", "zelvar QAP", MB_YESNO | MB_ICONQUESTION);
      SetDlgItemTextA(dialog, kName, g_seen.answer == IDYES ? "converted" : "kept");
      return TRUE;
    }
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

DialogTemplate Form() {
  DialogTemplate form;
  form.caption = "Script form";
  form.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
  form.cx = 220;
  form.cy = 120;
  form.fontFace = "MS Sans Serif";
  form.pointSize = 8;
  form.items = {
      {WC_EDIT, kName, "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 7, 7, 100, 12, {}},
      {WC_COMBOBOX, kKinds, "", WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 7, 24, 60, 60, {}},
      {WC_LISTBOX, kTracks, "", WS_VISIBLE | WS_BORDER | WS_TABSTOP | LBS_NOTIFY, 0, 7, 42, 100, 40, {}},
      {WC_BUTTON, kTmp, "Use TMP folder", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 120, 7, 80, 10, {}},
      {WC_BUTTON, kConvert, "&Convert", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 160, 80, 50, 14, {}},
      {WC_BUTTON, IDCANCEL, "Exit", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 160, 98, 50, 14, {}},
  };
  return form;
}

ui::script::Script Read(const std::string& text) {
  ui::script::Script script;
  std::string error;
  EXPECT_TRUE(ui::script::Parse(text, &script, &error)) << error;
  return script;
}

TEST(Script, ADialogIsDrivenFromBeforeItOpensThroughEveryKindOfStep) {
  qap::testing::ScratchDir dir;
  std::string snapshot = dir.File("form.txt");
  std::vector<std::string> printed;
  ui::script::Services services;
  services.print = [&](const std::string& text) { printed.push_back(text); };
  ui::script::Runner person(Read("# a person at the form\n"
                                 "wait window \"Script form\" timeout 5\n"
                                 "type 10 \"Mix\"\n"
                                 "type 10 \" é\"\n"
                                 "select 11 \"wma\"\n"
                                 "select 12 row 1\n"
                                 "check \"Use TMP folder\" on\n"
                                 "expect checked 13\n"
                                 "expect text 10 \"Mix é\"\n"
                                 "expect cell 12 2 0 \"Outro\"\n"
                                 "expect rows 12 3\n"
                                 "click \"Convert\"\n"
                                 "answer yes \"Convert 1 track?\"\n"
                                 "wait text 10 \"converted\"\n"
                                 "settext 10 \"again\"\n"
                                 "snapshot \"" + snapshot + "\"\n"
                                 "print \"done\"\n"
                                 "key Esc\n"
                                 "wait gone\n"),
                            services);
  person.Start();
  DialogTemplate form = Form();
  g_seen = {};
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &form, nullptr, FormProc, 0), IDCANCEL);
  person.ProgramEnded();
  EXPECT_FALSE(person.Failed()) << person.Failure();
  EXPECT_EQ(g_seen.name, "Mix é");
  EXPECT_EQ(g_seen.kind, "wma");
  EXPECT_EQ(g_seen.track, 1);
  EXPECT_TRUE(g_seen.tmp);
  EXPECT_EQ(g_seen.answer, IDYES);
  EXPECT_EQ(printed, std::vector<std::string>{"done"});
  std::string picture = qap::testing::ReadFile(snapshot);
  EXPECT_NE(picture.find("#32770 \"Script form\" 330x195"), std::string::npos) << picture;
  EXPECT_NE(picture.find("[10] Edit \"again\""), std::string::npos) << picture;
  EXPECT_NE(picture.find("[13] Button \"Use TMP folder\" checked"), std::string::npos) << picture;
  EXPECT_NE(picture.find("entry 1 selected: \"Song\""), std::string::npos) << picture;
}

TEST(Script, AFailingStepIsNamedByItsLineAndTheDialogIsEndedNotLeftWaiting) {
  ui::script::Runner person(Read("wait window \"Script form\"\n"
                                 "expect text 10 \"not there\"\n"
                                 "click \"Convert\"\n"),
                            {});
  person.Start();
  DialogTemplate form = Form();
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &form, nullptr, FormProc, 0), IDCANCEL);
  EXPECT_TRUE(person.Failed());
  EXPECT_EQ(person.Failure(), "line 2 (expect): 10 shows \"\", not \"not there\"");

  ui::script::Runner waiting(Read("wait window \"Never shown\" timeout 1\n"), {});
  waiting.Start();
  form = Form();
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &form, nullptr, FormProc, 0), IDCANCEL);
  EXPECT_EQ(waiting.Failure(), "line 1 (wait): no window \"Never shown\" appeared in time");
}

int g_ticks = 0;
void TickThrice(HWND dialog, UINT, UINT_PTR id, DWORD) {
  if (++g_ticks < 3) return;
  KillTimer(dialog, id);
  SetDlgItemTextA(dialog, kName, "ready");
}

TEST(Script, AWaitWrittenInCppHoldsWhenItsConditionDoesAndFailsAfterItsTimeOut) {
  auto nameIs = [](HWND dialog, const char* text) {
    char shown[32] = "";
    GetDlgItemTextA(dialog, kName, shown, sizeof shown);
    return std::string(shown) == text;
  };
  ui::script::Script steps;
  steps.When("Script form", [](HWND dialog) { SetTimer(dialog, 7, 20, TickThrice); })
      .Until([&](HWND dialog) { return nameIs(dialog, "ready"); }, std::chrono::seconds(5))
      .Then([](HWND dialog) { ui::driver::CloseWindow(dialog); });
  ui::script::Runner person(std::move(steps), {});
  person.Start();
  g_ticks = 0;
  DialogTemplate form = Form();
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &form, nullptr, FormProc, 0), IDCANCEL);
  EXPECT_FALSE(person.Failed()) << person.Failure();
  EXPECT_EQ(g_ticks, 3);

  ui::script::Script never;
  never.Until([&](HWND) { return false; }, std::chrono::seconds(1));
  ui::script::Runner waiting(std::move(never), {});
  waiting.Start();
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &form, nullptr, FormProc, 0), IDCANCEL);
  EXPECT_EQ(waiting.Failure(), "line 1 (until): the condition did not hold in time");
}

TEST(Script, LinesAScriptCannotHoldAreRefusedWithTheirNumber) {
  const std::pair<const char*, const char*> bad[] = {
      {"wait window\n", "line 1: \"wait\" takes 2 words, not 1"},
      {"\n# fine\nclik 1\n", "line 3: \"clik\" is not a step (see SCRIPT.md)"},
      {"check 4064 maybe\n", "line 1: \"maybe\" is not one of on, off"},
      {"type 10 \"open\n", "line 1: a quoted text is not closed"},
      {"key ctrl+Nope\n", "line 1: \"ctrl+Nope\" is not a key"},
      {"select 12 row x\n", "line 1: \"x\" is not a number"},
      {"wait window \"a\" timeout soon\n", "line 1: the time-out must be a number of seconds"},
      // Numbers that would wrap round when taken.
      {"wait window \"a\" timeout 4294967297\n",
       "line 1: the time-out must be at most 86400 seconds (a day)"},
      {"select 12 row 2147483648\n", "line 1: \"2147483648\" is too large"},
      {"click 99999999999\n", "line 1: \"99999999999\" is too large for a control id"},
  };
  for (const auto& [text, message] : bad) {
    ui::script::Script script;
    std::string error;
    EXPECT_FALSE(ui::script::Parse(text, &script, &error)) << text;
    EXPECT_EQ(error, message) << text;
  }
}

}  // namespace
