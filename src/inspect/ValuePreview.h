/** @file ValuePreview.h
 * Short texts of values for the object viewer: a member's current value after its
 * name, an array element that is an object as a one-line preview of its contents
 * ({men1: 1, men2: 2, …}, [1, 2, 3]). Reading a preview reads a few members only, so
 * a huge or self-referring object previews at once.
 */
#pragma once

#include <string>

#include "script/Automation.h"

namespace qy::inspect {

/// At most this many members or elements in a preview before "…".
inline constexpr int kPreviewEntries = 5;
/// A preview stops taking entries beyond this many characters.
inline constexpr size_t kPreviewChars = 80;
/// Strings inside a preview are cut after this many characters.
inline constexpr size_t kPreviewStringChars = 40;

/// A value as JavaScript would write it, shortly (CP936): strings quoted, numbers in
/// JavaScript's spelling, null and undefined by name, objects previewed one level deep
/// (deeper objects read {…} and […]), functions as their head ("function f(a, b)").
std::string PreviewText(const script::Variant& value);

/// The preview of an object alone, as PreviewText gives it for a value holding it.
std::string ObjectPreview(const script::ObjectRef& object);

}  // namespace qy::inspect
