// IDispatch's layout, positional arguments and VARIANT conversions.
#include "platform/com/dispatch.h"

#include <gtest/gtest.h>

#include "platform/com/connection_point.h"
#include "platform/testing/vtable_slot.h"

namespace {

using qap::testing::SlotOf;

TEST(Slots, DispatchAndConnectionPointInterfacesKeepTheirOrder) {
  EXPECT_EQ(SlotOf(&IDispatch::GetTypeInfoCount), 3);
  EXPECT_EQ(SlotOf(&IDispatch::GetTypeInfo), 4);
  EXPECT_EQ(SlotOf(&IDispatch::GetIDsOfNames), 5);
  EXPECT_EQ(SlotOf(&IDispatch::Invoke), 6);
  EXPECT_EQ(SlotOf(&IConnectionPointContainer::EnumConnectionPoints), 3);
  EXPECT_EQ(SlotOf(&IConnectionPointContainer::FindConnectionPoint), 4);
  EXPECT_EQ(SlotOf(&IConnectionPoint::GetConnectionInterface), 3);
  EXPECT_EQ(SlotOf(&IConnectionPoint::GetConnectionPointContainer), 4);
  EXPECT_EQ(SlotOf(&IConnectionPoint::Advise), 5);
  EXPECT_EQ(SlotOf(&IConnectionPoint::Unadvise), 6);
  EXPECT_EQ(SlotOf(&IConnectionPoint::EnumConnections), 7);
  EXPECT_EQ(SlotOf(&IEnumConnections::Next), 3);
  EXPECT_EQ(SlotOf(&IEnumConnections::Clone), 6);
  EXPECT_EQ(SlotOf(&IEnumConnectionPoints::Next), 3);
  EXPECT_EQ(SlotOf(&IEnumConnectionPoints::Clone), 6);
  static_assert(sizeof(DISPPARAMS) == 24 && offsetof(DISPPARAMS, cArgs) == 16);
  static_assert(sizeof(CONNECTDATA) == 16 && offsetof(CONNECTDATA, dwCookie) == 8);
}

std::string Text(const VARIANT& value) {
  return value.vt == VT_BSTR
             ? CComBSTR(std::u16string_view(value.bstrVal, SysStringLen(value.bstrVal))).Ansi()
             : "<not a string>";
}

HRESULT Change(VARIANT* out, const CComVariant& in, VARTYPE type) {
  return VariantChangeType(out, &in, 0, type);
}

TEST(VariantChangeType, ConvertsNumbersBooleansAndTextAndRefusesWhatDoesNotFit) {
  CComVariant out;
  ASSERT_EQ(Change(&out, CComVariant(" 300 "), VT_I2), S_OK);
  EXPECT_EQ(out.vt, VT_I2);
  EXPECT_EQ(out.iVal, 300);
  ASSERT_EQ(Change(&out, CComVariant("TRUE"), VT_BOOL), S_OK);
  ASSERT_EQ(VariantChangeType(&out, &out, 0, VT_BSTR), S_OK);  // in place
  EXPECT_EQ(Text(out), "True");
  ASSERT_EQ(Change(&out, CComVariant(), VT_I4), S_OK);
  EXPECT_EQ(out.lVal, 0);
  EXPECT_EQ(Change(&out, CComVariant(std::int32_t{70000}), VT_I2), DISP_E_OVERFLOW);
  EXPECT_EQ(Change(&out, CComVariant(std::int32_t{-1}), VT_UI4), DISP_E_OVERFLOW);
  EXPECT_EQ(Change(&out, CComVariant("12a"), VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Change(&out, CComVariant(""), VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(out.vt, VT_I4);  // a refused conversion leaves the destination alone
}

TEST(DispGetParam, CountsPositionsInCallOrderAndNamesTheBadArgument) {
  // Call order ("a", 7, "x"): rgvarg holds them last first.
  CComVariant args[] = {CComVariant("x"), CComVariant(std::int32_t{7}), CComVariant("a")};
  DISPPARAMS params{args, nullptr, 3, 0};
  CComVariant value;
  ASSERT_EQ(DispGetParam(&params, 0, VT_BSTR, &value, nullptr), S_OK);
  EXPECT_EQ(Text(value), "a");
  ASSERT_EQ(DispGetParam(&params, 1, VT_BSTR, &value, nullptr), S_OK);
  EXPECT_EQ(Text(value), "7");
  UINT bad = 99;
  EXPECT_EQ(DispGetParam(&params, 2, VT_I4, &value, &bad), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(bad, 0u);
  EXPECT_EQ(DispGetParam(&params, 3, VT_I4, &value, &bad), DISP_E_PARAMNOTFOUND);
}

}  // namespace
