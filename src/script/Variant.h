/** @file Variant.h
 * The automation value that crosses between the workbench and its objects (the
 * script engine, its Error object, its procedures, every JS object handed out).
 * Type codes are the VT_ codes automation callers know; only those the workbench
 * meets carry a payload here.
 */
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qy::script {

class Dispatch;
/// A counted reference to an automation object, or empty. Copying adds a reference,
/// reset() or destruction releases it.
using ObjectRef = std::shared_ptr<Dispatch>;

enum VarType : uint16_t {
    VT_EMPTY = 0, VT_NULL = 1, VT_I2 = 2, VT_I4 = 3, VT_R4 = 4, VT_R8 = 5, VT_CY = 6,
    VT_DATE = 7, VT_BSTR = 8, VT_DISPATCH = 9, VT_ERROR = 10, VT_BOOL = 11, VT_VARIANT = 12,
    VT_UNKNOWN = 13, VT_DECIMAL = 14, VT_I1 = 16, VT_UI1 = 17, VT_UI2 = 18, VT_UI4 = 19,
    VT_I8 = 20, VT_UI8 = 21, VT_INT = 22, VT_UINT = 23, VT_HRESULT = 25, VT_LPSTR = 30,
    VT_LPWSTR = 31, VT_RECORD = 36, VT_FILETIME = 64,
    VT_ARRAY = 0x2000, VT_BYREF = 0x4000,
};

struct Variant {
    uint16_t vt = VT_EMPTY;
    int64_t integer = 0;   ///< integer kinds, VT_ERROR code
    double real = 0;       ///< VT_R4, VT_R8, VT_DATE (OLE date), VT_CY, VT_DECIMAL
    bool boolean = false;  ///< VT_BOOL
    std::u16string text;   ///< VT_BSTR, VT_LPSTR, VT_LPWSTR
    ObjectRef object;      ///< VT_DISPATCH, VT_UNKNOWN

    static Variant Empty() { return {}; }
    static Variant Null() { Variant v; v.vt = VT_NULL; return v; }
    static Variant Int(int32_t i) { Variant v; v.vt = VT_I4; v.integer = i; return v; }
    static Variant Real(double d) { Variant v; v.vt = VT_R8; v.real = d; return v; }
    static Variant Bool(bool b) { Variant v; v.vt = VT_BOOL; v.boolean = b; return v; }
    static Variant Text(std::u16string s) { Variant v; v.vt = VT_BSTR; v.text = std::move(s); return v; }
    static Variant Date(double oleDate) { Variant v; v.vt = VT_DATE; v.real = oleDate; return v; }
    static Variant Object(ObjectRef o) { Variant v; v.vt = VT_DISPATCH; v.object = std::move(o); return v; }
};

/// Value categories of the result display: -1 unknown, 0 empty, 1 number, 2 text, 3 bool,
/// 4 date, 5 object, 6 error value, 7..12 arrays of those, 13 variant array.
int32_t VariantCategory(const Variant& v);

/// Conversions as automation's VariantChangeType does them; a value that cannot be
/// changed gives the empty value of the wanted kind. Texts are CP936 workbench text.
std::string VariantToText(const Variant& v);
double VariantToNumber(const Variant& v);
bool VariantToBool(const Variant& v);
double VariantToDate(const Variant& v);
ObjectRef VariantToObject(const Variant& v);
/// Same as VariantToText but keeps UTF-16 (the engine's own strings).
bool VariantToWide(const Variant& v, std::u16string& out);
void ClearVariant(Variant& v);

}  // namespace qy::script
