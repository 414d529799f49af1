/** @file Automation.h
 * The workbench's small automation layer: objects reached by member name through their
 * type information, calls that fail quietly with the empty value of the wanted kind.
 */
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "script/TypeInfo.h"
#include "script/Variant.h"

namespace qy::script {

/// An automation object. Members are found by name and kind (Bind), then invoked by id.
class Dispatch {
public:
    virtual ~Dispatch() = default;

    /// False for objects that offer no IDispatch (only a bare reference).
    virtual bool IsDispatch() const { return true; }
    /// Number of type descriptions the object offers (0 or 1).
    virtual int TypeInfoCount() const { return 1; }
    /// The object's type description; may be null.
    virtual TypeInfoPtr GetTypeInfo() = 0;
    /// Finds member `name` for invoke kind `kind`; fills its id, declared parameter count
    /// and whether it takes a variable argument list. False when nothing binds.
    virtual bool Bind(const std::u16string& name, InvokeKind kind, MemberId& id, int& paramCount,
                      bool& varArgs) = 0;
    /// Invokes a bound member. False when the call failed (a script error included).
    virtual bool Invoke(MemberId id, InvokeKind kind, std::vector<Variant>& args, Variant& result) = 0;
    /// The object's default value as text (what "changing it to a string" gives).
    virtual bool DefaultText(std::u16string& out) { (void)out; return false; }
};

/// An argument of an automation call, in workbench terms.
struct Arg {
    Variant value;
    Arg(const char* ansi);               // NOLINT: text arguments read naturally
    Arg(const std::string& ansi);        // NOLINT
    Arg(int32_t i) : value(Variant::Int(i)) {}          // NOLINT
    Arg(double d) : value(Variant::Real(d)) {}          // NOLINT
    Arg(bool b) : value(Variant::Bool(b)) {}            // NOLINT
    Arg(const ObjectRef& o) : value(Variant::Object(o)) {}  // NOLINT
    Arg(Variant v) : value(std::move(v)) {}              // NOLINT
};
using Args = std::vector<Arg>;

/// Creates the object registered under `classId` ("scriptcontrol" or
/// "MSScriptControl.ScriptControl"); on success `target` holds it.
bool CreateObject(ObjectRef& target, const std::string& classId);

/// Reading, writing and calling members by name. For a JS object handed out by the
/// engine, every property name binds for reading and writing (array elements are read
/// as "0", "1", …, and "length" too), whether or not its type description lists it,
/// and function-valued properties bind as methods. A failed call yields the empty
/// value of the wanted kind ("" / 0 / false / empty object / VT_EMPTY).
Variant GetPropertyVariant(const ObjectRef& obj, const std::string& name, const Args& args = {});
std::string GetPropertyText(const ObjectRef& obj, const std::string& name, const Args& args = {});
double GetPropertyNumber(const ObjectRef& obj, const std::string& name, const Args& args = {});
bool GetPropertyBool(const ObjectRef& obj, const std::string& name, const Args& args = {});
ObjectRef GetPropertyObject(const ObjectRef& obj, const std::string& name, const Args& args = {});
bool SetProperty(const ObjectRef& obj, const std::string& name, const Arg& value);
double CallMethodNumber(const ObjectRef& obj, const std::string& name, const Args& args = {});
Variant CallMethodVariant(const ObjectRef& obj, const std::string& name, const Args& args = {});

/// The interface identifier of IDispatch in registry form.
inline constexpr const char* kIID_IDispatch = "{00020400-0000-0000-C000-000000000046}";
inline constexpr const char* kIID_IUnknown = "{00000000-0000-0000-C000-000000000046}";
/// On success `target` holds the source object seen through the interface `iid`.
bool QueryObjectInterface(ObjectRef& target, const ObjectRef& source, const std::string& iid);
bool IsEmptyObject(const ObjectRef& obj);

}  // namespace qy::script
