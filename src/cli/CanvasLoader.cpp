/** @file CanvasLoader.cpp
 * Opens the canvas library at the first surface: beside the program, or in the build's
 * program folder next to a test's.
 */
#include "cli/CanvasLoader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <iostream>
#include <string>

namespace qy::cli {
namespace {

using NewSurface = env::CanvasSurface* (*)(int, int);

std::string ProgramFolder() {
    std::string path(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) return ".";
    path.resize(static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

NewSurface Load() {
    std::string folder = ProgramFolder(), why;
    for (const std::string& path : {folder + "/qingyou-canvas.so", folder + "/../bin/qingyou-canvas.so"}) {
        void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            if (why.empty()) why = dlerror();
            continue;
        }
        if (auto make = reinterpret_cast<NewSurface>(dlsym(library, "qy_canvas_new_surface"))) return make;
        why = path + " 中没有画布的入口";
    }
    std::cerr << "qingyou-js: 无法加载画布库（" << why << "），画布不出像素\n";
    return nullptr;
}

}  // namespace

env::CanvasFactory LoadedCanvasFactory() {
    return [](int width, int height) -> std::unique_ptr<env::CanvasSurface> {
        static NewSurface make = Load();
        if (!make) return nullptr;
        return std::unique_ptr<env::CanvasSurface>(make(width, height));
    };
}

}  // namespace qy::cli
