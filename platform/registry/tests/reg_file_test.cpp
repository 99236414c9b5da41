// Import and export in the .reg text format: regedit's layout byte for byte,
// its UTF-16LE files and their UTF-16LE texts, REGEDIT4 files in the code
// page, exact round trips, the forms import accepts, and syntax errors that
// name the line and change nothing.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/registry/reg_key.h"
#include "platform/registry/registry.h"
#include "platform/registry/tests/registry_test_util.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::registry::testing;

class RegFiles : public ::testing::Test {
 protected:
  qap::testing::ScratchHive m_hive;
};

// Every key, value, type and byte below key, in enumeration order.
void Describe(HKEY key, const std::string& path, std::vector<std::string>* out) {
  out->push_back("[" + path + "]");
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD nameSize = sizeof name, type = 0, dataSize = 0;
    if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, nullptr, &dataSize) !=
        ERROR_SUCCESS)
      break;
    const Value value = Read(key, name);
    std::string line = std::string(name) + "|" + std::to_string(value.type) + "|";
    for (const unsigned char byte : value.data) line += std::to_string(byte) + ",";
    out->push_back(line);
  }
  for (const std::string& child : SubKeys(key)) {
    RegKey sub;
    EXPECT_EQ(sub.Open(key, child.c_str()), ERROR_SUCCESS);
    Describe(sub.Get(), path + "\\" + child, out);
  }
}

std::vector<std::string> Snapshot(HKEY root) {
  std::vector<std::string> lines;
  Describe(root, RegRootName(root), &lines);
  return lines;
}

TEST_F(RegFiles, ExportWritesRegeditsLayoutByteForByte) {
  RegKey key;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Qap Test"), ERROR_SUCCESS);
  std::string blob;
  for (int i = 0; i < 40; ++i) blob.push_back(static_cast<char>(i));
  ASSERT_EQ(SetText(key.Get(), nullptr, "Player"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key.Get(), "Name", "a \"quoted\" \\ path"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key.Get(), "Count", 0x10), ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key.Get(), "Blob", REG_BINARY, blob), ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key.Get(), "Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5)), ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key.Get(), "Raw", REG_SZ, "abc"), ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key.Get(), "Two", REG_DWORD, "\x01\x02"), ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key.Get(), "Custom", 0x2a, ""), ERROR_SUCCESS);
  RegKey beta, inner;
  ASSERT_EQ(beta.Create(key.Get(), "beta"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(beta.Get(), "x", 1), ERROR_SUCCESS);
  ASSERT_EQ(inner.Create(key.Get(), "Alpha\\Inner"), ERROR_SUCCESS);

  std::string text, error;
  ASSERT_EQ(RegExportKeyToString("hkcu\\software\\qap test", &text, &error), ERROR_SUCCESS)
      << error;
  EXPECT_EQ(text,
            "Windows Registry Editor Version 5.00\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Qap Test]\n"
            "@=\"Player\"\n"
            "\"Name\"=\"a \\\"quoted\\\" \\\\ path\"\n"
            "\"Count\"=dword:00000010\n"
            "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
            "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27\n"
            "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
            "\"Raw\"=hex(1):61,00,62,00,63,00\n"
            "\"Two\"=hex(4):01,02\n"
            "\"Custom\"=hex(2a):\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Qap Test\\Alpha]\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Qap Test\\Alpha\\Inner]\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Qap Test\\beta]\n"
            "\"x\"=dword:00000001\n"
            "\n");

  EXPECT_EQ(RegExportKeyToString("HKCU\\Software\\Missing", &text, &error), ERROR_FILE_NOT_FOUND);
  EXPECT_NE(error.find("HKCU\\Software\\Missing"), std::string::npos);
}

TEST_F(RegFiles, ExportThenImportGivesBackExactlyTheSameKeysValuesTypesAndBytes) {
  RegKey key, odd;
  ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "Software\\Lieder f\xC3\xBCr \xC3\x84rger"),
            ERROR_SUCCESS);
  std::string everyByte;
  for (int i = 0; i < 256; ++i) everyByte.push_back(static_cast<char>(i));
  ASSERT_EQ(SetBytes(key.Get(), "Every byte", REG_BINARY, everyByte + everyByte), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key.Get(),
                    "Gr\xC3\xBC\xC3\x9F"
                    "e",
                    "Gr\xC3\xBC\xC3\x9F"
                    "e \xE6\x9D\xB1 \xE2\x9C\x93"),
            ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key.Get(), "Empty text", REG_SZ, ""), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key.Get(), "Two lines", "one\r\ntwo"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key.Get(), "say \"hi\" \\ there", "\\\\server\\share\\"), ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key.Get(), nullptr, REG_BINARY, std::string("\x00\x01", 2)), ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key.Get(), "Expand", REG_EXPAND_SZ, std::string("%HOME%\0", 7)),
            ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key.Get(), "Quad", REG_QWORD, std::string(8, '\x7F')), ERROR_SUCCESS);
  ASSERT_EQ(odd.Create(key.Get(), "odd]name\\-dash"), ERROR_SUCCESS);
  const std::vector<std::string> before = Snapshot(HKEY_LOCAL_MACHINE);

  std::string text, error;
  ASSERT_EQ(RegExportKeyToString("HKEY_LOCAL_MACHINE", &text, &error), ERROR_SUCCESS) << error;
  ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(RegImportString(text, &error), ERROR_SUCCESS) << error;

  EXPECT_EQ(Snapshot(HKEY_LOCAL_MACHINE), before);
  std::string again;
  ASSERT_EQ(RegExportKeyToString("HKLM", &again, &error), ERROR_SUCCESS);
  EXPECT_EQ(again, text);
}

TEST_F(RegFiles, ImportAcceptsRegedit4ByteOrderMarksCrlfCommentsAndShortRootNames) {
  const std::string text =
      "\xEF\xBB\xBFREGEDIT4\r\n"
      "\r\n"
      "; settings for the player\r\n"
      "[HKCU\\Software\\Imported]\r\n"
      "\"Text\" = \"value\"\r\n"
      "@=\"default\"\r\n"
      "\"Num\"=DWORD:0000ff01\r\n"
      "\"Bin\"=hex:01,02,\\\r\n"
      "   03\r\n"
      "\"Exp\"=hex(2):25,00\r\n"
      "  ; an indented comment\r\n"
      "[hkey_local_machine\\Software\\Other]\r\n";
  std::string error;
  ASSERT_EQ(RegImportString(text, &error), ERROR_SUCCESS) << error;

  RegKey key, other;
  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\Imported"), ERROR_SUCCESS);
  EXPECT_EQ(Read(key.Get(), "Text").data, std::string("value\0", 6));
  EXPECT_EQ(Read(key.Get(), nullptr).data, std::string("default\0", 8));
  EXPECT_EQ(Read(key.Get(), "Num").data, std::string("\x01\xFF\0\0", 4));
  EXPECT_EQ(Read(key.Get(), "Bin").data, "\x01\x02\x03");
  EXPECT_EQ(Read(key.Get(), "Exp").type, REG_EXPAND_SZ);
  EXPECT_EQ(other.Open(HKEY_LOCAL_MACHINE, "Software\\Other"), ERROR_SUCCESS);
}

TEST_F(RegFiles, ImportReadsTheUtf16FilesRegeditWrites) {
  const std::u16string wide =
      u"Windows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_CURRENT_USER\\Software\\Wide]\r\n"
      u"\"Name\"=\"Gr\u00FC\u00DFe \U0001F3B5\"\r\n";
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : wide) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  const qap::testing::ScratchDir dir;
  std::string error;
  ASSERT_EQ(RegImportFile(dir.Write("wide.reg", bytes), &error), ERROR_SUCCESS) << error;

  RegKey key;
  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\Wide"), ERROR_SUCCESS);
  EXPECT_EQ(Read(key.Get(), "Name").data, std::string("Gr\xC3\xBC\xC3\x9F"
                                                      "e \xF0\x9F\x8E\xB5",
                                                      12) +
                                              '\0');
}

// UTF-16LE bytes with the byte order mark, as regedit writes its files.
std::string Utf16File(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

// A file as Windows' regedit exports it: UTF-16LE, CRLF, hex(2) and hex(7)
// data in UTF-16LE, lists wrapped after the comma that reaches column 76.
TEST_F(RegFiles, RegeditsOwnExportImportsAsItsTextsAndExportsBackByteForByte) {
  const std::string windows = Utf16File(
      u"Windows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_CURRENT_USER\\Software\\Winamp]\r\n"
      u"@=\"Gr\u00FC\u00DFe\"\r\n"
      u"\"ProgramFilesPath\"=hex(2):25,00,50,00,72,00,6f,00,67,00,72,00,61,00,6d,00,46,\\\r\n"
      u"  00,69,00,6c,00,65,00,73,00,25,00,5c,00,57,00,69,00,6e,00,61,00,6d,00,70,00,\\\r\n"
      u"  00,00\r\n"
      u"\"Skins\"=hex(7):42,00,65,00,6e,00,74,00,6f,00,00,00,4d,00,6f,00,64,00,65,00,72,\\\r\n"
      u"  00,6e,00,20,00,e9,00,00,00,00,00\r\n"
      u"\"Volume\"=dword:000000ff\r\n"
      u"\r\n");
  const qap::testing::ScratchDir dir;
  std::string error;
  ASSERT_EQ(RegImportFile(dir.Write("winamp.reg", windows), &error), ERROR_SUCCESS) << error;

  RegKey key;
  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\Winamp"), ERROR_SUCCESS);
  EXPECT_EQ(Read(key.Get(), nullptr).data, "Gr\xC3\xBC\xC3\x9F" "e" + std::string(1, '\0'));
  const Value path = Read(key.Get(), "ProgramFilesPath");
  EXPECT_EQ(path.type, REG_EXPAND_SZ);
  EXPECT_EQ(path.data, std::string("%ProgramFiles%\\Winamp\0", 22));
  const Value skins = Read(key.Get(), "Skins");
  EXPECT_EQ(skins.type, REG_MULTI_SZ);
  EXPECT_EQ(skins.data, std::string("Bento\0Modern \xC3\xA9\0\0", 17));

  ASSERT_EQ(RegExportKey("HKCU\\Software\\Winamp", dir.File("again.reg"), &error), ERROR_SUCCESS);
  EXPECT_EQ(qap::testing::ReadFile(dir.File("again.reg")), windows);
  ASSERT_EQ(RegImportFile(dir.File("again.reg"), &error), ERROR_SUCCESS) << error;
  ASSERT_EQ(RegExportKey("HKCU\\Software\\Winamp", dir.File("third.reg"), &error), ERROR_SUCCESS);
  EXPECT_EQ(qap::testing::ReadFile(dir.File("third.reg")), windows);
}

// The code page of a process decides how it hands texts over, not how the
// hive keeps them.
TEST_F(RegFiles, Regedit4FilesAreInTheCodePageAndRefuseWhatItCannotCarry) {
  RegKey key;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Old"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key.Get(), "Name", "Gr\xC3\xBC\xC3\x9F" "e"), ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key.Get(), "Path", REG_EXPAND_SZ, std::string("\xC3\xA9\0", 3)), ERROR_SUCCESS);
  const qap::testing::ScratchDir dir;
  std::string error;
  setenv("QAP_ACP", "1252", 1);
  const LONG exported =
      RegExportKey("HKCU\\Software\\Old", dir.File("old.reg"), &error, RegFileFormat::kRegedit4);
  unsetenv("QAP_ACP");
  ASSERT_EQ(exported, ERROR_SUCCESS) << error;
  EXPECT_EQ(qap::testing::ReadFile(dir.File("old.reg")),
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Old]\r\n"
            "\"Name\"=\"Gr\xFC\xDF" "e\"\r\n"
            "\"Path\"=hex(2):e9,00\r\n"
            "\r\n");
  ASSERT_EQ(SetText(key.Get(), "Far", "\xE6\x9D\xB1"), ERROR_SUCCESS);
  setenv("QAP_ACP", "1252", 1);
  EXPECT_EQ(RegExportKey("HKCU\\Software\\Old", dir.File("far.reg"), &error,
                         RegFileFormat::kRegedit4),
            ERROR_NO_UNICODE_TRANSLATION);
  unsetenv("QAP_ACP");
  EXPECT_NE(error.find("export it in the 5.00 format"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(dir.File("far.reg")));
}

TEST_F(RegFiles, ImportDeletesKeysAndValuesMarkedWithAMinus) {
  RegKey key, deep;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Del"), ERROR_SUCCESS);
  ASSERT_EQ(deep.Create(key.Get(), "A\\B"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key.Get(), "keep", 1), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key.Get(), "drop", 1), ERROR_SUCCESS);

  std::string error;
  ASSERT_EQ(RegImportString("Windows Registry Editor Version 5.00\n\n"
                            "[-HKEY_CURRENT_USER\\Software\\Del\\A]\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Del]\n"
                            "\"drop\"=-\n"
                            "\"never set\"=-\n\n"
                            "[-HKEY_CURRENT_USER\\Software\\Never existed]\n",
                            &error),
            ERROR_SUCCESS)
      << error;
  EXPECT_TRUE(SubKeys(key.Get()).empty());
  EXPECT_EQ(ValueNames(key.Get()), std::vector<std::string>{"keep"});
}

TEST_F(RegFiles, AnImportWithASyntaxErrorNamesTheLineAndChangesNothing) {
  RegKey key;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Before"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key.Get(), "ok", 1), ERROR_SUCCESS);
  const std::vector<std::string> before = Snapshot(HKEY_CURRENT_USER);
  const std::string valid = "REGEDIT4\n[HKCU\\Software\\Before]\n\"ok\"=dword:2\n";
  const struct {
    std::string text;
    std::string error;
  } cases[] = {
      {"REGEDIT5\n",
       "line 1: expected the header 'Windows Registry Editor Version 5.00' or "
       "'REGEDIT4'"},
      {valid + "\"x\" \"y\"\n", "line 4: expected '=' after value name"},
      {valid + "\"x\"=\"open\n", "line 4: missing the closing '\"'"},
      {valid + "\"x\"=\"a\\nb\"\n",
       "line 4: unknown escape after '\\' (only \\\\ and \\\" are allowed)"},
      {valid + "[HKXX\\A]\n", "line 4: unknown root key in 'HKXX\\A'"},
      {"REGEDIT4\n\"x\"=dword:1\n", "line 2: a value line must follow a [key] line"},
      {valid + "\"x\"=dword:123456789\n", "line 4: expected up to 8 hex digits after 'dword:'"},
      {valid + "\"x\"=hex:01,02,\\\n  03,zz\n", "line 5: 'zz' is not a hex byte"},
      {valid + "\"x\"=hex:01,,02\n", "line 4: expected a hex byte between commas"},
      {valid + "\"x\"=hex:01,\\", "line 4: the hex list continues past the end of the text"},
      {valid + "\"x\"=hex(zz):01\n", "line 4: expected a hex type number and '):' after 'hex('"},
      {valid + "\"x\"=qword:1\n",
       "line 4: unknown value type (expected \"text\", dword:, hex: or hex(N):)"},
      {valid + "[HKCU\\A\n", "line 4: expected ']' at the end of the key name"},
      {valid + "[-HKCU]\n", "line 4: a root key cannot be deleted"},
      {valid + "stray text\n", "line 4: expected a [key] line or a \"name\"=value line"},
      {valid + "\"x\"=\"text\" trailing\n", "line 4: unexpected text after the closing '\"'"},
      // A file that says it is UTF-8 and is not: the names would be stored
      // as some other text.
      {"\xEF\xBB\xBF" + valid + "[HKCU\\Software\\Gr\xFF\xFE]\n",
       "line 4: bytes that are no text in the file's encoding"},
      // Under the UTF-8 code page the bytes of a REGEDIT4 text must be UTF-8.
      {valid + "\"x\"=hex(2):41,ff,fe,00\n", "line 4: hex bytes that are no text in the code page"},
      // Names no call could give and no export could write.
      {valid + "[HKCU\\A\rB]\n", "line 4: a key name holds a carriage return or a zero byte"},
      {valid + std::string("\"a\0b\"=dword:1\n", 14),
       "line 4: a value name holds a carriage return or a zero byte"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string error;
    EXPECT_EQ(RegImportString(c.text, &error), ERROR_INVALID_DATA);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(Snapshot(HKEY_CURRENT_USER), before);
  }
}

TEST_F(RegFiles, FilesAreWrittenAndReadAndTheirProblemsNameThem) {
  RegKey key;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\File"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key.Get(), "Where", "disk"), ERROR_SUCCESS);
  const std::vector<std::string> before = Snapshot(HKEY_CURRENT_USER);
  const qap::testing::ScratchDir dir;
  std::string error;
  ASSERT_EQ(RegExportKey("HKCU", dir.File("out.reg"), &error), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(RegImportFile(dir.File("out.reg"), &error), ERROR_SUCCESS) << error;
  EXPECT_EQ(Snapshot(HKEY_CURRENT_USER), before);

  EXPECT_EQ(RegImportFile(dir.File("missing.reg"), &error), ERROR_FILE_NOT_FOUND);
  EXPECT_NE(error.find(dir.File("missing.reg")), std::string::npos);
  const std::string bad = dir.Write("bad.reg", "REGEDIT4\n[HKCU\\X]\n\"a\"=zz\n");
  EXPECT_EQ(RegImportFile(bad, &error), ERROR_INVALID_DATA);
  EXPECT_EQ(error.rfind(bad + ": line 3: ", 0), 0u) << error;
  EXPECT_EQ(RegExportKey("HKCU", dir.File("no/such/folder/x.reg"), &error), ERROR_CANTWRITE);
  EXPECT_NE(error.find("no/such/folder/x.reg"), std::string::npos);
}

}  // namespace
