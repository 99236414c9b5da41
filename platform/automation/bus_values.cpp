// Conversions between VARIANTs and bus values, and between HRESULTs and bus
// errors.
#include "platform/automation/bus_values.h"

#include <cstdio>
#include <map>

#include "platform/base/codepage.h"

namespace qap::automation {
namespace {

std::string Utf8Of(const VARIANT& text) {
  return WideToAnsi(
      std::u16string_view(text.bstrVal != nullptr ? text.bstrVal : u"", SysStringLen(text.bstrVal)),
      CP_UTF8);
}

HRESULT SetText(VARIANT* out, const std::string& utf8) {
  std::u16string wide = AnsiToWide(utf8, CP_UTF8);
  out->vt = VT_BSTR;
  out->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return out->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

// A VARIANT's value as a bus variant; an empty VARIANT travels as an empty
// array of variants, since the bus has no value for "nothing".
HRESULT ToBusVariant(const VARIANT& value, sdbus::Variant* out) {
  switch (value.vt) {
    case VT_EMPTY: *out = sdbus::Variant(std::vector<sdbus::Variant>{}); return S_OK;
    case VT_I2: *out = sdbus::Variant(static_cast<int16_t>(value.iVal)); return S_OK;
    case VT_I4:
    case VT_INT: *out = sdbus::Variant(static_cast<int32_t>(value.lVal)); return S_OK;
    case VT_UI1: *out = sdbus::Variant(static_cast<uint8_t>(value.bVal)); return S_OK;
    case VT_UI2: *out = sdbus::Variant(static_cast<uint16_t>(value.uiVal)); return S_OK;
    case VT_UI4:
    case VT_UINT: *out = sdbus::Variant(static_cast<uint32_t>(value.ulVal)); return S_OK;
    case VT_BOOL: *out = sdbus::Variant(value.boolVal != VARIANT_FALSE); return S_OK;
    case VT_BSTR: *out = sdbus::Variant(Utf8Of(value)); return S_OK;
    default: return DISP_E_BADVARTYPE;
  }
}

// Reading the wrong type out of a bus variant throws, so each type is asked
// for first.
HRESULT FromBusVariant(const sdbus::Variant& value, VARIANT* out) {
  VariantInit(out);
  if (value.containsValueOfType<std::string>()) return SetText(out, value.get<std::string>());
  if (value.containsValueOfType<int32_t>()) {
    out->vt = VT_I4;
    out->lVal = value.get<int32_t>();
  } else if (value.containsValueOfType<int16_t>()) {
    out->vt = VT_I2;
    out->iVal = value.get<int16_t>();
  } else if (value.containsValueOfType<uint32_t>()) {
    out->vt = VT_UI4;
    out->ulVal = value.get<uint32_t>();
  } else if (value.containsValueOfType<uint16_t>()) {
    out->vt = VT_UI2;
    out->uiVal = value.get<uint16_t>();
  } else if (value.containsValueOfType<uint8_t>()) {
    out->vt = VT_UI1;
    out->bVal = value.get<uint8_t>();
  } else if (value.containsValueOfType<bool>()) {
    out->vt = VT_BOOL;
    out->boolVal = value.get<bool>() ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (!value.containsValueOfType<std::vector<sdbus::Variant>>() ||
             !value.get<std::vector<sdbus::Variant>>().empty()) {
    return DISP_E_BADVARTYPE;
  }
  return S_OK;
}

}  // namespace

std::unique_ptr<sdbus::IConnection> ConnectSessionBus() {
  return sdbus::createSessionBusConnection();
}

HRESULT WriteValue(sdbus::Message& message, char type, const VARIANT& value) {
  if (type == 'v') {
    sdbus::Variant variant;
    HRESULT hr = ToBusVariant(value, &variant);
    if (SUCCEEDED(hr)) message << variant;
    return hr;
  }
  static const std::map<char, VARTYPE> kTypes = {{'s', VT_BSTR}, {'i', VT_I4},  {'n', VT_I2},
                                                 {'u', VT_UI4},  {'q', VT_UI2}, {'y', VT_UI1},
                                                 {'b', VT_BOOL}};
  auto wanted = kTypes.find(type);
  if (wanted == kTypes.end()) return DISP_E_BADVARTYPE;
  VARIANT converted;
  VariantInit(&converted);
  HRESULT hr = VariantChangeType(&converted, &value, 0, wanted->second);
  if (FAILED(hr)) return hr;
  switch (type) {
    case 's': message << Utf8Of(converted); break;
    case 'i': message << static_cast<int32_t>(converted.lVal); break;
    case 'n': message << static_cast<int16_t>(converted.iVal); break;
    case 'u': message << static_cast<uint32_t>(converted.ulVal); break;
    case 'q': message << static_cast<uint16_t>(converted.uiVal); break;
    case 'y': message << static_cast<uint8_t>(converted.bVal); break;
    default: message << (converted.boolVal != VARIANT_FALSE); break;
  }
  VariantClear(&converted);
  return S_OK;
}

HRESULT ReadValue(sdbus::Message& message, char type, VARIANT* out) {
  VariantInit(out);
  switch (type) {
    case 's': {
      std::string text;
      message >> text;
      return SetText(out, text);
    }
    case 'i':
      out->vt = VT_I4;
      message >> out->lVal;
      return S_OK;
    case 'n':
      out->vt = VT_I2;
      message >> out->iVal;
      return S_OK;
    case 'u':
      out->vt = VT_UI4;
      message >> out->ulVal;
      return S_OK;
    case 'q':
      out->vt = VT_UI2;
      message >> out->uiVal;
      return S_OK;
    case 'y':
      out->vt = VT_UI1;
      message >> out->bVal;
      return S_OK;
    case 'b': {
      bool flag = false;
      message >> flag;
      out->vt = VT_BOOL;
      out->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
    case 'v': {
      sdbus::Variant variant;
      message >> variant;
      return FromBusVariant(variant, out);
    }
    default: return DISP_E_BADVARTYPE;
  }
}

Arguments::~Arguments() {
  for (VARIANT& value : m_values) VariantClear(&value);
}

HRESULT Arguments::Read(sdbus::Message& message, const std::string& signature) {
  for (char type : signature) {
    m_values.emplace_back();
    HRESULT hr = ReadValue(message, type, &m_values.back());
    if (FAILED(hr)) return hr;
  }
  m_reversed.assign(m_values.rbegin(), m_values.rend());
  return S_OK;
}

DISPPARAMS Arguments::Params() {
  return DISPPARAMS{m_reversed.data(), nullptr, static_cast<UINT>(m_reversed.size()), 0};
}

sdbus::Error FailureOf(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return sdbus::Error(kFailureName, text);
}

HRESULT HResultOf(const sdbus::Error& error) {
  const std::string& name = error.getName();
  if (name == kFailureName) {
    unsigned value = 0;
    if (std::sscanf(error.getMessage().c_str(), "0x%8X", &value) == 1) {
      return static_cast<HRESULT>(value);
    }
    return E_FAIL;
  }
  if (name == "org.freedesktop.DBus.Error.UnknownMethod") return DISP_E_MEMBERNOTFOUND;
  if (name == "org.freedesktop.DBus.Error.ServiceUnknown" ||
      name.rfind("org.freedesktop.DBus.Error.Spawn", 0) == 0) {
    return CO_E_SERVER_EXEC_FAILURE;
  }
  return RPC_E_DISCONNECTED;
}

}  // namespace qap::automation
