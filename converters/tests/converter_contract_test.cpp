// The contract both components share, seen as a host sees it: the exports,
// the names, the slot order, the kind codes, and the answers to commands a
// component does not take or cannot carry out without a file.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "converters/tests/converter_test_support.h"
#include "platform/testing/vtable_slot.h"

namespace {

using qap::testing::SlotOf;

using namespace converter_test;

// The slot of a live object's dispatch table, called as a C host would.
template <typename Function>
Function SlotFunction(Converter* object, int slot) {
  void** table = *reinterpret_cast<void***>(object);
  return reinterpret_cast<Function>(table[slot]);
}

void NoteEvent(Converter*, DWORD event, void*, ConverterUserData user) {
  reinterpret_cast<std::vector<DWORD>*>(user)->push_back(event);
}

TEST(ConverterContract, BothModulesExportTheirNamesAndTheExtension) {
  ASSERT_TRUE(ReaderModule().Loaded()) << ReaderModule().Error();
  ASSERT_TRUE(WriterModule().Loaded()) << WriterModule().Error();
  const ConverterDescription* reader = ReaderModule().Description();
  const ConverterDescription* writer = WriterModule().Description();
  EXPECT_STREQ(reader->shortName, "WMAReader");
  EXPECT_STREQ(reader->description, "WMA file format convertor - Format SDK Reader module");
  EXPECT_STREQ(writer->shortName, "WMAWriter");
  EXPECT_STREQ(writer->description, "WMA file format convertor - Format SDK Writer module");
  EXPECT_EQ(ReaderModule().Description(), reader) << "one static record per component";
  EXPECT_STREQ(ReaderModule().Extensions(), "wma");
  EXPECT_STREQ(WriterModule().Extensions(), "wma");
}

TEST(ConverterContract, OperationsSitInTheirSlotsOfTheLiveObject) {
  EXPECT_EQ(SlotOf(&Converter::Destroy), 0);
  EXPECT_EQ(SlotOf(&Converter::Command), 1);
  EXPECT_EQ(SlotOf(&Converter::Read), 2);
  EXPECT_EQ(SlotOf(&Converter::Write), 3);
  EXPECT_EQ(SlotOf(&Converter::SetNotifyCallback), 4);

  using CommandSlot = std::int32_t (*)(Converter*, DWORD, void*);
  using ReadSlot = std::int32_t (*)(Converter*, void*, DWORD*);
  using CallbackSlot = std::int32_t (*)(Converter*, ConverterCallback, ConverterUserData);
  using DestroySlot = std::int32_t (*)(Converter*, DWORD);
  for (const ComponentModule* module : {&ReaderModule(), &WriterModule()}) {
    Converter* object = module->Create().release();
    ASSERT_NE(object, nullptr);
    DWORD kind = 0;
    EXPECT_EQ(SlotFunction<CommandSlot>(object, 1)(object, ConvGetKind, &kind), kConvSuccess);
    EXPECT_EQ(kind, module == &ReaderModule() ? kModuleStyleReader : kModuleStyleWriter);
    std::vector<DWORD> events;
    EXPECT_EQ(SlotFunction<CallbackSlot>(object, 4)(object, &NoteEvent,
                                                   reinterpret_cast<ConverterUserData>(&events)),
              kConvSuccess);
    // Stop without a file: the reader's end event shows the callback slot
    // took; the writer does not take the command.
    const std::int32_t stop = SlotFunction<CommandSlot>(object, 1)(object, ConvStop, nullptr);
    DWORD length = 77;
    const std::int32_t read = SlotFunction<ReadSlot>(object, 2)(object, &kind, &length);
    if (module == &ReaderModule()) {
      EXPECT_EQ(stop, kConvFailure);
      EXPECT_EQ(events, std::vector<DWORD>{kConverterEventEnd});
      EXPECT_EQ(read, kConvFailure) << "no file is open";
    } else {
      EXPECT_EQ(stop, kConvNotSupported);
      EXPECT_TRUE(events.empty());
      EXPECT_EQ(read, kConvSuccess);
      EXPECT_EQ(length, 77u) << "a writer's Read does nothing";
    }
    EXPECT_EQ(SlotFunction<DestroySlot>(object, 0)(object, 0xDEADBEEF), kConvSuccess);
  }
}

TEST(ConverterContract, EveryCodeAComponentDoesNotTakeAnswers4352AndChangesNothing) {
  const std::set<DWORD> readerCodes = {1, 2, 6, 7, 8, 100, 101, 102, 1003, 1004};
  const std::set<DWORD> writerCodes = {1, 3, 4, 6, 7, 9, 106};
  std::vector<DWORD> codes;
  for (DWORD code = 0; code <= 1100; ++code) codes.push_back(code);
  codes.insert(codes.end(), {2000, 3008, 3009, 3010, 0x7FFFFFFF, 0xFFFFFFFF});
  for (bool isReader : {true, false}) {
    ConverterPtr object = isReader ? NewReader() : NewWriter();
    ASSERT_TRUE(object);
    const std::set<DWORD>& supported = isReader ? readerCodes : writerCodes;
    for (DWORD code : codes) {
      if (supported.count(code) != 0) continue;
      BYTE argument[1024];
      std::memset(argument, 0x5A, sizeof argument);
      ASSERT_EQ(object->Command(code, argument), kConvNotSupported)
          << (isReader ? "reader" : "writer") << " code " << code;
      for (BYTE byte : argument) ASSERT_EQ(byte, 0x5A) << "code " << code;
    }
  }
}

TEST(ConverterContract, MissingArgumentsAnswer4098InsteadOfBeingFollowed) {
  ConverterPtr writer = NewWriter();
  ConverterPtr reader = NewReader();
  ASSERT_TRUE(writer && reader);
  EXPECT_EQ(writer->Command(ConvSetTags, nullptr), kConvArgumentMissing);
  for (DWORD code : {ConvOpen, ConvSetInputFormat, ConvGetKind, ConvSetBitRate}) {
    EXPECT_EQ(writer->Command(code, nullptr), kConvArgumentMissing) << "writer code " << code;
  }
  for (DWORD code : {ConvOpen, ConvGetKind, ConvGetTitle, ConvGetAuthor, ConvGetDescription,
                     ConvGetFormat, ConvGetDuration}) {
    EXPECT_EQ(reader->Command(code, nullptr), kConvArgumentMissing) << "reader code " << code;
  }
  // The writer still has no file: the null tag record changed nothing.
  EXPECT_EQ(writer->Command(ConvIsOpen, nullptr), kConvFailure);
}

TEST(ConverterContract, WithoutAFileTheCommandsThatNeedOneFailAndTheRestChangeNothing) {
  ConverterPtr reader = NewReader();
  ASSERT_TRUE(reader);
  char title[kTagTextSize] = "untouched";
  EXPECT_EQ(reader->Command(ConvGetTitle, title), kConvSuccess);
  EXPECT_STREQ(title, "untouched");
  PcmFormat format{9, 9, 9, 0};
  EXPECT_EQ(reader->Command(ConvGetFormat, &format), kConvFailure);
  EXPECT_EQ(format.flags, 0u);
  DWORD duration = 1234;
  EXPECT_EQ(reader->Command(ConvGetDuration, &duration), kConvFailure);
  EXPECT_EQ(duration, 1234u) << "untouched without a reader";
  EXPECT_EQ(reader->Command(ConvStart, nullptr), kConvFailure);
  const DWORD length = 4;
  EXPECT_EQ(reader->Write("abcd", &length), kConvSuccess) << "a reader's Write does nothing";

  ConverterPtr writer = NewWriter();
  ASSERT_TRUE(writer);
  EXPECT_EQ(writer->Command(ConvIsOpen, nullptr), kConvFailure);
  EXPECT_EQ(writer->Command(ConvStart, nullptr), kConvSuccess);
  std::vector<BYTE> settings = Settings(128);
  EXPECT_EQ(writer->Command(ConvSetBitRate, settings.data()), kConvSuccess);
  PcmFormat input{6, 2, 1, 0};
  EXPECT_EQ(writer->Command(ConvSetInputFormat, &input), kConvFailure);
  EXPECT_EQ(writer->Write("abcd", &length), kConvFailure);
  EXPECT_EQ(writer->Command(ConvIsOpen, nullptr), kConvFailure);
}

}  // namespace
