// The skin controls' registration: every class under its identifier names
// the module, which then makes the class; unregistering removes them all.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/com/class_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"
#include "platform/registry/reg_key.h"
#include "platform/testing/scratch.h"
#include "suite/skin/skin_controls.h"

namespace {

const CLSID* const kClasses[] = {&CLSID_SkinContainer, &CLSID_SkinnedButton, &CLSID_SkinnedLabel};

std::string ServerOf(const CLSID& clsid) {
  RegKey key;
  std::string server;
  key.Open(HKEY_CLASSES_ROOT, ("CLSID\\" + GuidToString(clsid) + "\\InprocServer32").c_str());
  key.ReadString(nullptr, &server);
  return server;
}

TEST(SkinControlsRegistration, RegisteredClassesAreMadeFromTheModuleAndUnregisteringRemovesThem) {
  qap::testing::ScratchHive hive;
  ASSERT_EQ(CallServerRegistration("libSkinControls.so", true), S_OK);
  const auto beside = std::filesystem::path(std::getenv("QAP_BIN_DIR")) / "libSkinControls.so";
  for (const CLSID* clsid : kClasses) {
    SCOPED_TRACE(GuidToString(*clsid));
    EXPECT_TRUE(std::filesystem::equivalent(ServerOf(*clsid), beside));
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(*clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.OutVoid()),
              S_OK);
    ComPtr<IDispatch> control;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, control.OutVoid()), S_OK);
  }

  EXPECT_EQ(CallServerRegistration("libSkinControls.so", false), S_OK);
  for (const CLSID* clsid : kClasses) {
    RegKey key;
    EXPECT_NE(key.Open(HKEY_CLASSES_ROOT, ("CLSID\\" + GuidToString(*clsid)).c_str()),
              ERROR_SUCCESS);
  }
  EXPECT_EQ(CallServerRegistration("libSkinControls.so", false), S_OK) << "nothing left to remove";
  EXPECT_EQ(CallServerRegistration("libNoSuchServer.so", true), CO_E_DLLNOTFOUND);
}

}  // namespace
