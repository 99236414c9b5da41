// The namespace extension the shell browser's tests hang under My Computer,
// and the list control the web browser control's tests embed in pages: an
// in-process server of its own (test_namespace.cpp, test_list_control.cpp),
// found beside the test program through the registry. The extension's
// folders are named by paths ("Alpha/Gamma"); its views note what the
// browser does with them.
#pragma once

#include <cstring>
#include <string>

#include "platform/com/guid.h"
#include "platform/shell/item_id_list.h"

// {6D1B4C5E-2F0A-4E8B-9C3D-7A1E5B2C9F40}
constexpr CLSID CLSID_TestNamespace{
    0x6D1B4C5E, 0x2F0A, 0x4E8B, {0x9C, 0x3D, 0x7A, 0x1E, 0x5B, 0x2C, 0x9F, 0x40}};
// {A4C1E7D2-5B38-4F60-8E19-3D7C2B6A5F14}
constexpr CLSID CLSID_TestList{
    0xA4C1E7D2, 0x5B38, 0x4F60, {0x8E, 0x19, 0x3D, 0x7C, 0x2B, 0x6A, 0x5F, 0x14}};
inline constexpr char kTestNamespaceModule[] = "libqap_test_namespace.so";
inline constexpr char kTestNamespaceName[] = "Test Folder";

// The view's commands, merged into the browser's Edit pop-up.
constexpr unsigned kCountCommand = 120;       // counts, and the count is the view's state
constexpr unsigned kBrowseFirstCommand = 122;  // BrowseObject to the first child, same window
constexpr unsigned kOpenFirstCommand = 123;    // the shell's open of the first child, "open"

// One item: its count, the tag "QT", the folder's name and its zero.
inline std::string TestItemBytes(const std::string& name) {
  std::string bytes(2, '\0');
  bytes += "QT" + name;
  bytes += '\0';
  const auto count = static_cast<USHORT>(bytes.size());
  std::memcpy(bytes.data(), &count, sizeof count);
  return bytes;
}

// The list control's dispatch identifier of its row count (read-only).
constexpr long kTestListRowsId = 1;

// What the module exports for the tests (dlsym).
extern "C" {
// Every call the views got since the last clear, one a line.
using TestNamespaceLogFunction = const char* (*)();
using TestNamespaceClearFunction = void (*)();
// Adds a folder name below the folder at parent ("" for the junction).
using TestNamespaceAddFunction = void (*)(const char* parent, const char* name);
}
