// The dispatch-table slot of every member of every exported interface, and
// the exports clients link against. A member moved in a header breaks
// every client compiled against the old order; these tests catch it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "options/options.h"
#include "platform/testing/vtable_slot.h"

namespace {

using qap::testing::SlotOf;

// The members in slot order: the n-th must sit in slot n.
void ExpectSlotsInOrder(std::initializer_list<std::ptrdiff_t> slots) {
  std::ptrdiff_t expected = 0;
  for (std::ptrdiff_t slot : slots) {
    EXPECT_EQ(slot, expected) << "member number " << expected;
    ++expected;
  }
}

TEST(InterfaceSlots, MiniBrowserOption) {
  using I = IMiniBrowserOption;
  ExpectSlotsInOrder({SlotOf(&I::GetDownloadParam), SlotOf(&I::SetDownloadParam),
                      SlotOf(&I::GetDefaultIndex), SlotOf(&I::SetDefaultIndex),
                      SlotOf(&I::GetURLCount), SlotOf(&I::GetURL), SlotOf(&I::SetURL),
                      SlotOf(&I::SetCallback)});
}

TEST(InterfaceSlots, VisualEffectOption) {
  using I = IVisualEffectOption;
  ExpectSlotsInOrder(
      {SlotOf(&I::GetDefaultEffect), SlotOf(&I::SetDefaultEffect), SlotOf(&I::SetCallback)});
}

TEST(InterfaceSlots, RecordingOption) {
  using I = IRecordingOption;
  ExpectSlotsInOrder({
      SlotOf(&I::GetRecordingMode), SlotOf(&I::SetRecordingMode),
      SlotOf(&I::GetEraseBeforeRecording), SlotOf(&I::SetEraseBeforeRecording),
      SlotOf(&I::GetVBR), SlotOf(&I::SetVBR),
      SlotOf(&I::GetCBR_KBPS), SlotOf(&I::SetCBR_KBPS),
      SlotOf(&I::GetDefaultRecorder), SlotOf(&I::SetDefaultRecorder),
      SlotOf(&I::GetAllowDownmix), SlotOf(&I::SetAllowDownmix),
      SlotOf(&I::GetAllowIntensity), SlotOf(&I::SetAllowIntensity),
      SlotOf(&I::GetSoftwareSyncCD), SlotOf(&I::SetSoftwareSyncCD),
      SlotOf(&I::GetPlaySound), SlotOf(&I::SetPlaySound),
      SlotOf(&I::GetEjectCD), SlotOf(&I::SetEjectCD),
      SlotOf(&I::GetRippingSpeed), SlotOf(&I::SetRippingSpeed),
      SlotOf(&I::GetBitRateType), SlotOf(&I::SetBitRateType),
      SlotOf(&I::GetCodingQuality), SlotOf(&I::SetCodingQuality),
      SlotOf(&I::GetCodingScheme), SlotOf(&I::SetCodingScheme),
      SlotOf(&I::GetFadeInSec), SlotOf(&I::SetFadeInSec),
      SlotOf(&I::GetFadeOutSec), SlotOf(&I::SetFadeOutSec),
      SlotOf(&I::GetNormalization), SlotOf(&I::SetNormalization),
      SlotOf(&I::GetMusicFolder), SlotOf(&I::SetMusicFolder),
      SlotOf(&I::GetDefaultRecorderDevice), SlotOf(&I::SetDefaultRecorderDevice),
      SlotOf(&I::GetUseAsDefault), SlotOf(&I::SetUseAsDefault),
      SlotOf(&I::GetDefaultOutputFormat), SlotOf(&I::SetDefaultOutputFormat),
      SlotOf(&I::GetCodingSpeed), SlotOf(&I::SetCodingSpeed),
      SlotOf(&I::GetBurningSpeed), SlotOf(&I::SetBurningSpeed),
      SlotOf(&I::GetBurnWholeList), SlotOf(&I::SetBurnWholeList),
      SlotOf(&I::GetWMA_KBPS), SlotOf(&I::SetWMA_KBPS),
      SlotOf(&I::GetLoudnessBalance), SlotOf(&I::SetLoudnessBalance),
      SlotOf(&I::GetMediaCreationMode), SlotOf(&I::SetMediaCreationMode),
      SlotOf(&I::GetBurnConvertUncompressedOnly), SlotOf(&I::SetBurnConvertUncompressedOnly),
      SlotOf(&I::GetPortableDeviceConvertUncompressedOnly),
      SlotOf(&I::SetPortableDeviceConvertUncompressedOnly),
      SlotOf(&I::SetCallback), SlotOf(&I::Save),
  });
}

TEST(InterfaceSlots, SkinOption) {
  using I = ISkinOption;
  ExpectSlotsInOrder({SlotOf(&I::GetSkinPath), SlotOf(&I::SetSkinPath), SlotOf(&I::GetSkinsRoot),
                      SlotOf(&I::SetSkinsRoot), SlotOf(&I::SetCallback)});
}

TEST(InterfaceSlots, SchedulerOption) {
  using I = ISchedulerOption;
  ExpectSlotsInOrder({
      SlotOf(&I::GetUsePlStartAtTime), SlotOf(&I::SetUsePlStartAtTime),
      SlotOf(&I::GetPlStartAtTime), SlotOf(&I::SetPlStartAtTime),
      SlotOf(&I::GetUsePlStopAfterTime), SlotOf(&I::SetUsePlStopAfterTime),
      SlotOf(&I::GetPlStopAfterTime), SlotOf(&I::SetPlStopAfterTime),
      SlotOf(&I::GetPlRepeatEveryDay), SlotOf(&I::SetPlRepeatEveryDay),
      SlotOf(&I::GetUseRecStartAtTime), SlotOf(&I::SetUseRecStartAtTime),
      SlotOf(&I::GetRecStartAtTime), SlotOf(&I::SetRecStartAtTime),
      SlotOf(&I::GetUseRecStopAfterTime), SlotOf(&I::SetUseRecStopAfterTime),
      SlotOf(&I::GetRecStopAfterTime), SlotOf(&I::SetRecStopAfterTime),
      SlotOf(&I::SetCallback),
  });
}

TEST(InterfaceSlots, TaggingOption) {
  using I = ITaggingOption;
  ExpectSlotsInOrder({SlotOf(&I::GetTitle), SlotOf(&I::SetTitle), SlotOf(&I::GetArtist),
                      SlotOf(&I::SetArtist), SlotOf(&I::GetAlbum), SlotOf(&I::SetAlbum),
                      SlotOf(&I::GetYear), SlotOf(&I::SetYear), SlotOf(&I::GetAuto),
                      SlotOf(&I::SetAuto), SlotOf(&I::SetCallback)});
}

TEST(InterfaceSlots, FileTypes) {
  using I = IFileTypes;
  ExpectSlotsInOrder({SlotOf(&I::GetIconIndex), SlotOf(&I::SetIconIndex),
                      SlotOf(&I::GetSpareNumber), SlotOf(&I::SetSpareNumber),
                      SlotOf(&I::GetAssociateWithCD), SlotOf(&I::SetAssociateWithCD),
                      SlotOf(&I::GetRegisterAtStartup), SlotOf(&I::SetRegisterAtStartup),
                      SlotOf(&I::GetAssociatedExtensions), SlotOf(&I::GetExtensionTable),
                      SlotOf(&I::GetExtensionCount), SlotOf(&I::SetCallback), SlotOf(&I::Load),
                      SlotOf(&I::Save)});
}

TEST(InterfaceSlots, JukemindOption) {
  using I = IJukemindOption;
  ExpectSlotsInOrder({SlotOf(&I::GetGenresCount), SlotOf(&I::GetGenreID), SlotOf(&I::SetGenreID),
                      SlotOf(&I::GetGenreName), SlotOf(&I::SetGenreName),
                      SlotOf(&I::GetGenreValue), SlotOf(&I::SetGenreValue),
                      SlotOf(&I::GetTENDtoPREFER), SlotOf(&I::SetTENDtoPREFER),
                      SlotOf(&I::StampVersion), SlotOf(&I::SetCallback)});
}

TEST(InterfaceSlots, AdvancedJukemindOption) {
  using I = IAdvancedJukemindOption;
  ExpectSlotsInOrder({SlotOf(&I::GetThemesCount), SlotOf(&I::GetThemeVal), SlotOf(&I::SetThemeVal),
                      SlotOf(&I::GetThemeName), SlotOf(&I::SetThemeName),
                      SlotOf(&I::GetThemeDescription), SlotOf(&I::SetThemeDescription),
                      SlotOf(&I::AddTheme), SlotOf(&I::SetCallback)});
}

TEST(InterfaceSlots, CddbOption) {
  using I = ICDDBOption;
  ExpectSlotsInOrder({SlotOf(&I::GetBehindProxy), SlotOf(&I::SetBehindProxy),
                      SlotOf(&I::GetUseCDDB), SlotOf(&I::SetUseCDDB),
                      SlotOf(&I::GetFirstCheckInCDDB), SlotOf(&I::SetFirstCheckInCDDB),
                      SlotOf(&I::GetSubmitCDDB), SlotOf(&I::SetSubmitCDDB),
                      SlotOf(&I::GetGetSupplementaryInfo), SlotOf(&I::SetGetSupplementaryInfo),
                      SlotOf(&I::GetHost), SlotOf(&I::SetHost), SlotOf(&I::GetPort),
                      SlotOf(&I::SetPort), SlotOf(&I::GetUserName), SlotOf(&I::SetUserName),
                      SlotOf(&I::GetPassword), SlotOf(&I::SetPassword), SlotOf(&I::SetCallback)});
}

TEST(InterfaceSlots, GeneralOption) {
  using I = IGeneralOption;
  ExpectSlotsInOrder({SlotOf(&I::GetXWndStartPosition), SlotOf(&I::SetXWndStartPosition),
                      SlotOf(&I::GetYWndStartPosition), SlotOf(&I::SetYWndStartPosition),
                      SlotOf(&I::GetStartPlayingAfterAdd), SlotOf(&I::SetStartPlayingAfterAdd),
                      SlotOf(&I::GetXWndStartPosition2), SlotOf(&I::SetXWndStartPosition2),
                      SlotOf(&I::GetYWndStartPosition2), SlotOf(&I::SetYWndStartPosition2),
                      SlotOf(&I::Load), SlotOf(&I::Save), SlotOf(&I::SetCallback)});
}

TEST(InterfaceSlots, SoundEffectOption) {
  using I = ISoundEffectOption;
  ExpectSlotsInOrder({SlotOf(&I::GetQuality), SlotOf(&I::SetQuality), SlotOf(&I::SetCallback)});
}

// What a client links against: per interface its dispatch table, default
// constructor, copy constructor and assignment; and the functions, whose
// names carry their argument types.
TEST(InterfaceSlots, TheLibraryExportsEveryInterfaceAndFunctionByItsDecoratedName) {
  const char* const interfaces[] = {
      "18IMiniBrowserOption", "19IVisualEffectOption", "16IRecordingOption",
      "11ISkinOption",        "16ISchedulerOption",    "14ITaggingOption",
      "10IFileTypes",         "15IJukemindOption",     "23IAdvancedJukemindOption",
      "11ICDDBOption",        "14IGeneralOption",      "18ISoundEffectOption",
  };
  for (const char* name : interfaces) {
    SCOPED_TRACE(name);
    for (const std::string& symbol :
         {"_ZTV" + std::string(name), "_ZN" + std::string(name) + "C1Ev",
          "_ZN" + std::string(name) + "C1ERKS_", "_ZN" + std::string(name) + "aSERKS_"}) {
      EXPECT_NE(dlsym(RTLD_DEFAULT, symbol.c_str()), nullptr) << symbol;
    }
  }
  for (const char* symbol :
       {"_Z11LoadOptionsv", "_Z11SaveOptionsv", "_Z12IsFirstStartv",
        "_Z13GetOptVersionR7CStringRjS1_", "_Z21GetIMiniBrowserOptionv", "_Z12GetIFileTypev",
        "_Z26GetIAdvancedJukemindOptionv", "_Z21GetISoundEffectOptionv"}) {
    EXPECT_NE(dlsym(RTLD_DEFAULT, symbol), nullptr) << symbol;
  }
}

}  // namespace
