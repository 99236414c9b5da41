// GUID text forms, BSTR and VARIANT ownership, the smart pointer's counting.
#include <gtest/gtest.h>

#include "platform/com/com_ptr.h"
#include "platform/com/variant.h"

namespace {

TEST(Guid, TextFormRoundTripsAndRejectsMalformedInput) {
  const GUID sample{0x695C62C1, 0x5959, 0x11D3, {0xBD, 0x2F, 0x00, 0xA0, 0xCC, 0x41, 0x8A, 0x92}};
  EXPECT_EQ(GuidToString(sample), "{695C62C1-5959-11D3-BD2F-00A0CC418A92}");
  GUID parsed{};
  ASSERT_TRUE(GuidFromString("{695c62c1-5959-11d3-bd2f-00a0cc418a92}", &parsed));
  EXPECT_EQ(parsed, sample);
  ASSERT_TRUE(GuidFromString("695C62C1-5959-11D3-BD2F-00A0CC418A92", &parsed));
  EXPECT_FALSE(GuidFromString("{695C62C1-5959-11D3-BD2F-00A0CC418A9}", &parsed));
  EXPECT_FALSE(GuidFromString("{695C62C1x5959-11D3-BD2F-00A0CC418A92}", &parsed));
  EXPECT_FALSE(GuidFromString("{695C62C1-5959-11D3-BD2F-00A0CC418AZ2}", &parsed));
}

TEST(Bstr, LengthIsStoredSoEmbeddedNulsSurvive) {
  const char16_t text[] = {u'a', 0, u'b'};
  CComBSTR value{std::u16string_view(text, 3)};
  EXPECT_EQ(value.Length(), 3u);
  EXPECT_EQ(value.Get()[3], 0);
  CComBSTR copy = value;
  EXPECT_EQ(copy.Wide(), value.Wide());
  EXPECT_EQ(CComBSTR("Grüße").Ansi(), "Grüße");
  EXPECT_EQ(SysStringLen(nullptr), 0u);
}

class Counted : public IUnknown {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!IsEqualGUID(iid, IID_IUnknown)) return E_NOINTERFACE;
    AddRef();
    *object = this;
    return S_OK;
  }
  ULONG AddRef() override { return m_refs.Increment(); }
  ULONG Release() override {
    ULONG left = m_refs.Decrement();
    if (left == 0) ++destroyed;
    return left;
  }
  static inline int destroyed = 0;

 private:
  RefCount m_refs;
};

TEST(ComPtr, CopiesAddReferencesAndTheLastOwnerReleases) {
  Counted object;  // starts with one reference, the test's own
  Counted::destroyed = 0;
  {
    ComPtr<IUnknown> first(&object);
    ComPtr<IUnknown> second = first;
    ComPtr<IUnknown> third;
    ASSERT_EQ(first.As(IID_IUnknown, &third), S_OK);
    ComPtr<IUnknown> none;
    EXPECT_EQ(first.As(IID_IClassFactory, &none), E_NOINTERFACE);
    EXPECT_FALSE(none);
  }
  EXPECT_EQ(object.Release(), 0u);
  EXPECT_EQ(Counted::destroyed, 1);
}

TEST(Variant, CopyDuplicatesStringsAndReferencesInterfacesAndClearFreesThem) {
  Counted object;
  CComVariant text("Zelvar");
  CComVariant copy = text;
  EXPECT_NE(copy.bstrVal, text.bstrVal);
  EXPECT_EQ(CComBSTR(std::u16string_view(copy.bstrVal)).Ansi(), "Zelvar");

  VARIANT held;
  VariantInit(&held);
  held.vt = VT_UNKNOWN;
  held.punkVal = &object;
  object.AddRef();
  VARIANT other;
  VariantInit(&other);
  ASSERT_EQ(VariantCopy(&other, &held), S_OK);
  VariantClear(&held);
  VariantClear(&other);
  EXPECT_EQ(other.vt, VT_EMPTY);
  EXPECT_EQ(object.Release(), 0u);  // every reference given back
  EXPECT_EQ(CComVariant(SHORT{7}).vt, VT_I2);
}

}  // namespace
