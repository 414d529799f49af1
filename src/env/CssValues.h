/** @file CssValues.h
 * CSS values as a style keeps and writes them: a declaration read into the longhands it
 * sets (each value in its written-back form, or refused), the value of any property from
 * a style's longhands (a shorthand composed again), a style's text, colours resolved to
 * rgb(), and the computed properties in their order with their initial values. The
 * property facts (aliases, shorthands, the computed list) come from the table in
 * idl/css.txt, read once for the process; nothing runs until a style is first used.
 */
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qy::env::css {

struct Longhand {
    std::string name;
    std::string value;
};

/// What a declaration of `name` (dashed, lower case) with `value` sets: each longhand
/// with its value as a style keeps it. Empty when the style refuses the declaration (an
/// unknown name, a value the property cannot take).
std::vector<Longhand> Declare(std::string_view name, std::string_view value);

/// The longhands a property stands for: itself for a longhand, its longhands for a
/// shorthand, through an alias to its standard name; empty for an unknown name.
std::vector<std::string> LonghandsOf(std::string_view name);

/// A style's declaration as it is kept: its longhand name, value and importance.
struct Declared {
    std::string name;
    std::string value;
    bool important = false;
};

/// The value `name` reads in a style with these declarations: a longhand's own, a
/// shorthand's composed from its longhands (empty when they do not all agree on
/// importance or the shorthand cannot say them).
std::string ValueOf(std::string_view name, const std::vector<Declared>& style);

/// The style's text: "name: value;" for each declaration in order, longhands that
/// together make a shorthand written as that shorthand.
std::string TextOf(const std::vector<Declared>& style);

/// A computed shorthand's value from the computed values of its longhands (in the order
/// LonghandsOf gives them); empty where the shorthand has no single computed value.
std::string ComputedShorthand(std::string_view name, const std::vector<std::string>& longhands);

/// A colour as a computed value: "rgb(r, g, b)" or "rgba(r, g, b, a)"; "currentcolor"
/// for that keyword; empty when `value` is no colour.
std::string ResolvedColor(std::string_view value);

struct ComputedProperty {
    std::string_view name;
    bool inherited;
    std::string_view initial;  ///< its value on a plain block element
};

/// Every property a computed style lists, in Chrome's order.
const std::vector<ComputedProperty>& ComputedProperties();

/// A number as CSS writes it back: at most six significant digits, no trailing zeros.
std::string FormatNumber(double value);

}  // namespace qy::env::css
