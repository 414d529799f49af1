/** @file Bundles.h
 * The modules of a webpack or browserify bundle, read by the unpacker's own tool script:
 * each module's id, the modules it loads and its own code, the entry first.
 */
#pragma once

#include <string>
#include <vector>

namespace qy::transform {

struct BundleModule {
    std::string id;       ///< the bundle's id (a number or a path); empty for an entry run inline
    std::string deps;     ///< "依赖 2、3（./util）" or "无依赖" (workbench text)
    std::string params;   ///< the module function's parameter names, comma-separated
    std::string code;     ///< the module's own code: its function's body
    bool entry = false;
};

struct BundleListing {
    std::string kind;     ///< "webpack 5", "browserify"… (workbench text); empty when no bundle
    std::string loader;   ///< the name an inline entry loads modules with
    std::vector<BundleModule> modules;  ///< the entry first
    bool ok = true;       ///< false when the tool script could not run
};

/// Reads the bundle in `text` (best after eval解密, whose layers may hide the table) in a
/// private control; no modules when the text is not a bundle.
BundleListing ListBundle(const std::string& text);

}  // namespace qy::transform
