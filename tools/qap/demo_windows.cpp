// Demo step: the window system, headless, answered by a script. Two client
// programs are registered for the upload agent, so that its hand-off of a
// downloaded file asks which one gets it: LBAgent2 shows the dialog
// "Downloading to clients", a window script picks the second client, and
// the window tree is printed before and after, with a picture of the dialog.
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/base/process.h"
#include "platform/base/sync.h"
#include "platform/registry/reg_key.h"
#include "tools/qap/environment_value.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

constexpr const char* kClientsKey = "Software\\Lokbin Inc.\\Lokbin Agent\\Applications";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteFile(const std::string& path, const std::string& text, bool executable = false) {
  std::ofstream(path, std::ios::binary) << text;
  if (executable) chmod(path.c_str(), 0755);
  return !ReadAll(path).empty();
}

// A client program of the agent that notes the file it was handed.
bool RegisterClient(const std::string& scratch, const char* name) {
  std::string program = scratch + "/" + name;
  if (!WriteFile(program, "#!/bin/sh\nprintf '%s\\n' \"$1\" > \"$0.received\"\n", true)) return false;
  RegKey key;
  if (key.Create(HKEY_CURRENT_USER, (std::string(kClientsKey) + "\\" + name).c_str()) != ERROR_SUCCESS) {
    return false;
  }
  std::string format = std::string(name) + " \"%s\"";
  RegSetValueExA(key.Get(), "Format", 0, REG_SZ, reinterpret_cast<const BYTE*>(format.c_str()),
                 static_cast<DWORD>(format.size() + 1));
  RegSetValueExA(key.Get(), "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(program.c_str()),
                 static_cast<DWORD>(program.size() + 1));
  return true;
}

int Demo(DemoContext& context) {
  std::string dir = context.scratch + "/windows";
  mkdir(dir.c_str(), 0700);
  if (!RegisterClient(dir, "Player") || !RegisterClient(dir, "Tagger")) {
    std::cerr << "cannot register the demo's client programs\n";
    return 1;
  }
  std::string script = dir + "/chooser.script";
  WriteFile(script,
            "# A person at the agent's chooser: look, pick the second client, confirm.\n"
            "wait window \"Downloading to clients\"\n"
            "snapshot \"" + dir + "/before.txt\"\n"
            "screenshot \"" + dir + "/chooser.png\"\n"
            "expect disabled \"OK\"\n"
            "select 1003 \"Tagger\"\n"
            "expect enabled \"OK\"\n"
            "snapshot \"" + dir + "/after.txt\"\n"
            "click \"OK\"\n"
            "wait gone\n");
  std::cout << "Two client programs are registered for downloaded files (Player, Tagger), so the\n"
               "agent's hand-off asks which one. The window script " << script << ":\n\n"
            << ReadAll(script) << "\n";
  std::string file = "C:\\Music\\Downloads\\song.mp3";
  std::cout << "$ QAP_UI_SCRIPT=" << script << " LBAgent2 \"" << file << "\"\n";
  EnvironmentValue withScript("QAP_UI_SCRIPT", script);
  EnvironmentValue status("QAP_UI_SCRIPT_STATUS", dir + "/status");
  std::string agent = context.binDir + "/LBAgent2";
  std::string command = ArgsToCommandLine({agent, file});
  STARTUPINFOA startup{sizeof startup, 0, 0};
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(agent.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                      &startup, &started)) {
    std::cerr << "cannot start " << agent << "\n";
    return 1;
  }
  bool ended = WaitForSingleObject(started.hProcess, 60000) == WAIT_OBJECT_0;
  CloseHandle(started.hProcess);
  std::cout << "\nThe dialog as the script found it:\n" << ReadAll(dir + "/before.txt")
            << "\nAfter choosing Tagger:\n" << ReadAll(dir + "/after.txt") << "\n";
  std::string outcome = ReadAll(dir + "/status");
  std::string received = ReadAll(dir + "/Tagger.received");
  std::cout << "The script: " << outcome << "Tagger was handed: " << (received.empty() ? "nothing\n" : received)
            << "A picture of the dialog: " << dir << "/chooser.png\n";
  if (!ended || outcome != "ok\n" || received != file + "\n") {
    std::cerr << "the chooser was not answered as the script says\n";
    return 1;
  }
  return 0;
}

const DemoStepRegistrar kStep({550, "Window system: a dialog answered by a script", Demo});

}  // namespace
}  // namespace qap
