/** @file MesaContext.cpp
 * WebGL over OpenGL ES through EGL without a display (Mesa's surfaceless platform, which
 * rasterises in software). The libraries are opened when the first context is made, so
 * a program that draws nothing never maps them, and a machine without them gets a
 * reason instead of a crash. Each WebGL context is an EGL context of its own (WebGL
 * state is per context) drawing into a framebuffer object that stands in for the
 * canvas's drawing buffer.
 */
#include "webgl/GlContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES2/gl2.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstring>

namespace qy::webgl {
namespace {

// WebGL's own pixel-store names, which GL does not know.
constexpr GLenum kUnpackFlipY = 0x9240;
constexpr GLenum kUnpackPremultiply = 0x9241;
constexpr GLenum kUnpackColorspace = 0x9243;
constexpr GLenum kRgba8 = 0x8058;
constexpr GLenum kDepth24Stencil8 = 0x88F0;
constexpr double kMaxBufferBytes = 256.0 * 1024 * 1024;

#define QY_EGL_FUNCTIONS(X)                                                                              \
    X(PFNEGLGETPROCADDRESSPROC, GetProcAddress) X(PFNEGLGETDISPLAYPROC, GetDisplay)                     \
    X(PFNEGLINITIALIZEPROC, Initialize) X(PFNEGLBINDAPIPROC, BindAPI)                                  \
    X(PFNEGLCREATECONTEXTPROC, CreateContext) X(PFNEGLDESTROYCONTEXTPROC, DestroyContext)              \
    X(PFNEGLMAKECURRENTPROC, MakeCurrent) X(PFNEGLGETERRORPROC, GetError)                              \
    X(PFNEGLQUERYSTRINGPROC, QueryString)

#define QY_GL_FUNCTIONS(X)                                                                                          \
    X(PFNGLGETERRORPROC, GetError) X(PFNGLCLEARCOLORPROC, ClearColor) X(PFNGLCLEARPROC, Clear)                     \
    X(PFNGLCLEARDEPTHFPROC, ClearDepthf) X(PFNGLCLEARSTENCILPROC, ClearStencil) X(PFNGLVIEWPORTPROC, Viewport)     \
    X(PFNGLSCISSORPROC, Scissor) X(PFNGLENABLEPROC, Enable) X(PFNGLDISABLEPROC, Disable)                          \
    X(PFNGLISENABLEDPROC, IsEnabled) X(PFNGLBLENDFUNCPROC, BlendFunc)                                              \
    X(PFNGLBLENDFUNCSEPARATEPROC, BlendFuncSeparate) X(PFNGLBLENDEQUATIONPROC, BlendEquation)                     \
    X(PFNGLBLENDEQUATIONSEPARATEPROC, BlendEquationSeparate) X(PFNGLBLENDCOLORPROC, BlendColor)                   \
    X(PFNGLDEPTHFUNCPROC, DepthFunc) X(PFNGLDEPTHMASKPROC, DepthMask) X(PFNGLDEPTHRANGEFPROC, DepthRangef)         \
    X(PFNGLCOLORMASKPROC, ColorMask) X(PFNGLCULLFACEPROC, CullFace) X(PFNGLFRONTFACEPROC, FrontFace)              \
    X(PFNGLLINEWIDTHPROC, LineWidth) X(PFNGLPOLYGONOFFSETPROC, PolygonOffset) X(PFNGLPIXELSTOREIPROC, PixelStorei) \
    X(PFNGLSTENCILFUNCPROC, StencilFunc) X(PFNGLSTENCILFUNCSEPARATEPROC, StencilFuncSeparate)                     \
    X(PFNGLSTENCILOPPROC, StencilOp) X(PFNGLSTENCILOPSEPARATEPROC, StencilOpSeparate)                             \
    X(PFNGLSTENCILMASKPROC, StencilMask) X(PFNGLSTENCILMASKSEPARATEPROC, StencilMaskSeparate)                     \
    X(PFNGLSAMPLECOVERAGEPROC, SampleCoverage) X(PFNGLHINTPROC, Hint) X(PFNGLFLUSHPROC, Flush)                    \
    X(PFNGLFINISHPROC, Finish) X(PFNGLGENBUFFERSPROC, GenBuffers) X(PFNGLBINDBUFFERPROC, BindBuffer)               \
    X(PFNGLBUFFERDATAPROC, BufferData) X(PFNGLBUFFERSUBDATAPROC, BufferSubData)                                   \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers) X(PFNGLISBUFFERPROC, IsBuffer) X(PFNGLCREATESHADERPROC, CreateShader) \
    X(PFNGLSHADERSOURCEPROC, ShaderSource) X(PFNGLCOMPILESHADERPROC, CompileShader)                               \
    X(PFNGLGETSHADERIVPROC, GetShaderiv) X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                           \
    X(PFNGLDELETESHADERPROC, DeleteShader) X(PFNGLATTACHSHADERPROC, AttachShader)                                 \
    X(PFNGLDETACHSHADERPROC, DetachShader) X(PFNGLCREATEPROGRAMPROC, CreateProgram)                               \
    X(PFNGLLINKPROGRAMPROC, LinkProgram) X(PFNGLUSEPROGRAMPROC, UseProgram) X(PFNGLGETPROGRAMIVPROC, GetProgramiv) \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog) X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                     \
    X(PFNGLVALIDATEPROGRAMPROC, ValidateProgram) X(PFNGLGETATTRIBLOCATIONPROC, GetAttribLocation)                 \
    X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation) X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)         \
    X(PFNGLGETACTIVEATTRIBPROC, GetActiveAttrib) X(PFNGLGETACTIVEUNIFORMPROC, GetActiveUniform)                   \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)                                                   \
    X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, DisableVertexAttribArray)                                                 \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer) X(PFNGLVERTEXATTRIB4FPROC, VertexAttrib4f)               \
    X(PFNGLUNIFORM4FPROC, Uniform4f) X(PFNGLUNIFORM3FPROC, Uniform3f) X(PFNGLUNIFORM2FPROC, Uniform2f)            \
    X(PFNGLUNIFORM1FPROC, Uniform1f) X(PFNGLUNIFORM4IPROC, Uniform4i) X(PFNGLUNIFORM3IPROC, Uniform3i)            \
    X(PFNGLUNIFORM2IPROC, Uniform2i) X(PFNGLUNIFORM1IPROC, Uniform1i) X(PFNGLUNIFORM1FVPROC, Uniform1fv)          \
    X(PFNGLUNIFORM2FVPROC, Uniform2fv) X(PFNGLUNIFORM3FVPROC, Uniform3fv) X(PFNGLUNIFORM4FVPROC, Uniform4fv)      \
    X(PFNGLUNIFORM1IVPROC, Uniform1iv) X(PFNGLUNIFORM2IVPROC, Uniform2iv) X(PFNGLUNIFORM3IVPROC, Uniform3iv)      \
    X(PFNGLUNIFORM4IVPROC, Uniform4iv) X(PFNGLUNIFORMMATRIX2FVPROC, UniformMatrix2fv)                             \
    X(PFNGLUNIFORMMATRIX3FVPROC, UniformMatrix3fv) X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv)                 \
    X(PFNGLDRAWARRAYSPROC, DrawArrays) X(PFNGLDRAWELEMENTSPROC, DrawElements) X(PFNGLREADPIXELSPROC, ReadPixels)  \
    X(PFNGLGENTEXTURESPROC, GenTextures) X(PFNGLBINDTEXTUREPROC, BindTexture) X(PFNGLTEXIMAGE2DPROC, TexImage2D)   \
    X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D) X(PFNGLTEXPARAMETERIPROC, TexParameteri)                             \
    X(PFNGLTEXPARAMETERFPROC, TexParameterf) X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                             \
    X(PFNGLGENERATEMIPMAPPROC, GenerateMipmap) X(PFNGLDELETETEXTURESPROC, DeleteTextures)                         \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers) X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                     \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)                                                         \
    X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer)                                                   \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus) X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers) \
    X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers) X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer)                 \
    X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage) X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers)     \
    X(PFNGLGETINTEGERVPROC, GetIntegerv) X(PFNGLGETFLOATVPROC, GetFloatv) X(PFNGLGETBOOLEANVPROC, GetBooleanv)      \
    X(PFNGLGETVERTEXATTRIBIVPROC, GetVertexAttribiv)

// OpenGL ES 3's, for antialiasing; a context without them draws without.
using RenderbufferStorageMultisampleFn = void(GL_APIENTRYP)(GLenum, GLsizei, GLenum, GLsizei, GLsizei);
using BlitFramebufferFn = void(GL_APIENTRYP)(GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLbitfield, GLenum);
constexpr GLenum kReadFramebuffer = 0x8CA8, kDrawFramebuffer = 0x8CA9, kReadFramebufferBinding = 0x8CAA;
constexpr GLsizei kSamples = 4;
constexpr double kMaxMultisamplePixels = 2048.0 * 2048.0;

struct Egl {
#define QY_FIELD(type, name) type name = nullptr;
    QY_EGL_FUNCTIONS(QY_FIELD)
};
struct Gl {
    QY_GL_FUNCTIONS(QY_FIELD)
#undef QY_FIELD
};

/// The process's EGL display, opened once; `why` says what is missing when it is not.
struct Library {
    Egl egl;
    Gl gl;
    EGLDisplay display = EGL_NO_DISPLAY;
    std::string why;
    RenderbufferStorageMultisampleFn renderbufferStorageMultisample = nullptr;
    BlitFramebufferFn blitFramebuffer = nullptr;
    void* current = nullptr;  ///< the context made current last
    bool robust = false;      ///< contexts can be made with robust buffer access

    Library() {
        void* eglLib = dlopen("libEGL.so.1", RTLD_NOW | RTLD_LOCAL);
        void* glLib = dlopen("libGLESv2.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!eglLib || !glLib) {
            why = "找不到 EGL 或 OpenGL ES 库（libEGL.so.1、libGLESv2.so.2）";
            return;
        }
#define QY_LOAD_EGL(type, name) egl.name = reinterpret_cast<type>(dlsym(eglLib, "egl" #name));
        QY_EGL_FUNCTIONS(QY_LOAD_EGL)
#undef QY_LOAD_EGL
        bool all = true;
#define QY_LOAD_GL(type, name)                                                \
    gl.name = reinterpret_cast<type>(dlsym(glLib, "gl" #name));              \
    if (!gl.name && egl.GetProcAddress)                                      \
        gl.name = reinterpret_cast<type>(egl.GetProcAddress("gl" #name));    \
    all = all && gl.name != nullptr;
        QY_GL_FUNCTIONS(QY_LOAD_GL)
#undef QY_LOAD_GL
        renderbufferStorageMultisample =
            reinterpret_cast<RenderbufferStorageMultisampleFn>(dlsym(glLib, "glRenderbufferStorageMultisample"));
        blitFramebuffer = reinterpret_cast<BlitFramebufferFn>(dlsym(glLib, "glBlitFramebuffer"));
        if (!all || !egl.GetProcAddress || !egl.Initialize || !egl.CreateContext || !egl.MakeCurrent) {
            why = "EGL 或 OpenGL ES 库缺少所需的函数";
            return;
        }
        // The surfaceless platform needs no display server; the default display is the
        // fallback where it is missing.
        auto platformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(egl.GetProcAddress("eglGetPlatformDisplayEXT"));
        if (platformDisplay) display = platformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        EGLint major = 0, minor = 0;
        if (display == EGL_NO_DISPLAY || !egl.Initialize(display, &major, &minor)) {
            display = egl.GetDisplay ? egl.GetDisplay(EGL_DEFAULT_DISPLAY) : EGL_NO_DISPLAY;
            if (display == EGL_NO_DISPLAY || !egl.Initialize(display, &major, &minor)) {
                display = EGL_NO_DISPLAY;
                why = "EGL 无法初始化（没有可用的 Mesa 驱动）";
                return;
            }
        }
        const char* extensions = egl.QueryString(display, EGL_EXTENSIONS);
        robust = extensions && std::strstr(extensions, "EGL_EXT_create_context_robustness");
        if (!extensions || !std::strstr(extensions, "EGL_KHR_surfaceless_context") ||
            !egl.BindAPI(EGL_OPENGL_ES_API)) {
            display = EGL_NO_DISPLAY;
            why = "EGL 不支持无窗口的 OpenGL ES 上下文";
        }
    }
};

Library& Lib() {
    static Library library;
    return library;
}

class MesaContext final : public GlContext {
public:
    MesaContext(EGLContext context, const GlAttributes& attributes) : m_context(context), m_attributes(attributes) {}
    ~MesaContext() override {
        Library& lib = Lib();
        if (Current()) {
            GLuint framebuffers[2] = {m_fbo, m_resolveFbo};
            lib.gl.DeleteFramebuffers(m_resolveFbo ? 2 : 1, framebuffers);
            GLuint buffers[3] = {m_color, m_depth, m_resolveColor};
            for (GLuint b : buffers)
                if (b) lib.gl.DeleteRenderbuffers(1, &b);
        }
        lib.egl.MakeCurrent(lib.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        lib.current = nullptr;
        lib.egl.DestroyContext(lib.display, m_context);
    }

    bool Start(int width, int height) {
        if (!Current()) return false;
        const Gl& gl = Lib().gl;
        gl.GenFramebuffers(1, &m_fbo);
        gl.GenRenderbuffers(1, &m_color);
        if (m_attributes.depth || m_attributes.stencil) gl.GenRenderbuffers(1, &m_depth);
        // Antialiased as browsers draw by default: four samples, resolved when read.
        if (m_attributes.antialias && Lib().renderbufferStorageMultisample && Lib().blitFramebuffer) {
            gl.GenFramebuffers(1, &m_resolveFbo);
            gl.GenRenderbuffers(1, &m_resolveColor);
        }
        Resize(width, height);
        gl.BindFramebuffer(GL_FRAMEBUFFER, m_fbo);
        if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
        gl.Viewport(0, 0, m_width, m_height);
        gl.Scissor(0, 0, m_width, m_height);
        while (gl.GetError() != GL_NO_ERROR) {
        }
        return true;
    }

    void Resize(int width, int height) override {
        if (!Current()) return;
        const Gl& gl = Lib().gl;
        // A buffer of no pixels is not complete: it keeps one, as browsers do.
        m_width = std::max(width, 1);
        m_height = std::max(height, 1);
        GLint bound = 0, renderbuffer = 0;
        gl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        gl.GetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
        while (gl.GetError() != GL_NO_ERROR) {
        }
        // Samples cost four times the memory: a very large buffer goes without them.
        m_multisample = m_resolveFbo != 0 && static_cast<double>(m_width) * m_height <= kMaxMultisamplePixels;
        if (m_multisample) {
            gl.BindFramebuffer(GL_FRAMEBUFFER, m_resolveFbo);
            gl.BindRenderbuffer(GL_RENDERBUFFER, m_resolveColor);
            gl.RenderbufferStorage(GL_RENDERBUFFER, kRgba8, m_width, m_height);
            gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_resolveColor);
        }
        gl.BindFramebuffer(GL_FRAMEBUFFER, m_fbo);
        gl.BindRenderbuffer(GL_RENDERBUFFER, m_color);
        Storage(kRgba8);
        gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_color);
        if (m_depth) {
            gl.BindRenderbuffer(GL_RENDERBUFFER, m_depth);
            Storage(m_attributes.stencil ? kDepth24Stencil8 : GL_DEPTH_COMPONENT16);
            if (m_attributes.depth)
                gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depth);
            if (m_attributes.stencil)
                gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_depth);
        }
        // A driver that cannot give the samples draws without them.
        if (m_multisample && (gl.GetError() != GL_NO_ERROR || gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)) {
            m_multisample = false;
            gl.BindRenderbuffer(GL_RENDERBUFFER, m_color);
            Storage(kRgba8);
            if (m_depth) {
                gl.BindRenderbuffer(GL_RENDERBUFFER, m_depth);
                Storage(m_attributes.stencil ? kDepth24Stencil8 : GL_DEPTH_COMPONENT16);
            }
        }
        ClearDrawingBuffer();
        gl.BindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(renderbuffer));
        gl.BindFramebuffer(GL_FRAMEBUFFER, bound ? static_cast<GLuint>(bound) : m_fbo);
    }
    int Width() const override { return m_width; }
    int Height() const override { return m_height; }

    GlResult Call(std::string_view name, const std::vector<GlArg>& args) override;

    std::vector<uint8_t> Read(int x, int y, int width, int height) override {
        std::vector<uint8_t> out(static_cast<size_t>(width) * height * 4, 0);
        if (!Current()) return out;
        const Gl& gl = Lib().gl;
        GLint bound = 0;
        gl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        bool resolved = m_multisample && static_cast<GLuint>(bound) == m_fbo;
        if (resolved) {
            Resolve();
            gl.BindFramebuffer(GL_FRAMEBUFFER, m_resolveFbo);
        }
        gl.ReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        if (resolved) gl.BindFramebuffer(GL_FRAMEBUFFER, m_fbo);
        return out;
    }

    std::vector<uint8_t> Image() override {
        std::vector<uint8_t> out(static_cast<size_t>(m_width) * m_height * 4, 0);
        if (!Current()) return out;
        const Gl& gl = Lib().gl;
        GLint bound = 0, pack = 4;
        gl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        gl.GetIntegerv(GL_PACK_ALIGNMENT, &pack);
        if (m_multisample) Resolve();
        gl.BindFramebuffer(GL_FRAMEBUFFER, m_multisample ? m_resolveFbo : m_fbo);
        gl.PixelStorei(GL_PACK_ALIGNMENT, 4);
        std::vector<uint8_t> raw(out.size());
        gl.ReadPixels(0, 0, m_width, m_height, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
        gl.PixelStorei(GL_PACK_ALIGNMENT, pack);
        gl.BindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(bound));
        size_t row = static_cast<size_t>(m_width) * 4;
        for (int y = 0; y < m_height; ++y)
            std::memcpy(out.data() + static_cast<size_t>(y) * row, raw.data() + static_cast<size_t>(m_height - 1 - y) * row, row);
        for (size_t i = 0; i < out.size(); i += 4) {
            if (!m_attributes.alpha) {
                out[i + 3] = 255;
            } else if (m_attributes.premultipliedAlpha && out[i + 3] != 255) {
                unsigned a = out[i + 3];
                for (int c = 0; c < 3; ++c) out[i + c] = a ? static_cast<uint8_t>(std::min(255u, (out[i + c] * 255u + a / 2) / a)) : 0;
            }
        }
        return out;
    }

private:
    bool Current() {
        Library& lib = Lib();
        if (lib.current == this) return true;
        if (!lib.egl.MakeCurrent(lib.display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_context)) return false;
        lib.current = this;
        return true;
    }

    /// Clears the drawing buffer whatever the script's clear values, masks and scissor.
    void ClearDrawingBuffer() {
        const Gl& gl = Lib().gl;
        GLfloat color[4];
        GLboolean mask[4], depthMask = GL_TRUE;
        gl.GetFloatv(GL_COLOR_CLEAR_VALUE, color);
        gl.GetBooleanv(GL_COLOR_WRITEMASK, mask);
        gl.GetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
        GLboolean scissor = gl.IsEnabled(GL_SCISSOR_TEST);
        gl.Disable(GL_SCISSOR_TEST);
        gl.ClearColor(0, 0, 0, 0);
        gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        gl.DepthMask(GL_TRUE);
        gl.Clear(GL_COLOR_BUFFER_BIT | (m_depth ? GL_DEPTH_BUFFER_BIT : 0) | (m_attributes.stencil ? GL_STENCIL_BUFFER_BIT : 0));
        gl.ClearColor(color[0], color[1], color[2], color[3]);
        gl.ColorMask(mask[0], mask[1], mask[2], mask[3]);
        gl.DepthMask(depthMask);
        if (scissor) gl.Enable(GL_SCISSOR_TEST);
    }

    /// A piece of GL state getParameter asks for, as text: its kind ("i" integers, "f"
    /// floats, "b" booleans) and its values; null for a name not kept here.
    GlResult State(GLenum pname) {
        struct Kind {
            GLenum pname;
            char kind;
            int count;
        };
        static const Kind kKinds[] = {
            {0x0BA2, 'i', 4}, {0x0C10, 'i', 4}, {0x0C22, 'f', 4}, {0x8005, 'f', 4}, {0x0B70, 'f', 2}, {0x0C23, 'b', 4},
            {0x0B73, 'f', 1}, {0x0B21, 'f', 1}, {0x8038, 'f', 1}, {0x2A00, 'f', 1}, {0x80AA, 'f', 1}, {0x0BE2, 'b', 1},
            {0x0B44, 'b', 1}, {0x0B71, 'b', 1}, {0x0BD0, 'b', 1}, {0x8037, 'b', 1}, {0x809E, 'b', 1}, {0x80A0, 'b', 1},
            {0x0C11, 'b', 1}, {0x0B90, 'b', 1}, {0x0B72, 'b', 1}, {0x80AB, 'b', 1}, {0x84E0, 'i', 1}, {0x80CA, 'i', 1},
            {0x80C8, 'i', 1}, {0x883D, 'i', 1}, {0x8009, 'i', 1}, {0x80CB, 'i', 1}, {0x80C9, 'i', 1}, {0x0B45, 'i', 1},
            {0x0B74, 'i', 1}, {0x0B46, 'i', 1}, {0x8192, 'i', 1}, {0x0D05, 'i', 1}, {0x0CF5, 'i', 1}, {0x0B92, 'i', 1},
            {0x0B97, 'i', 1}, {0x0B93, 'i', 1}, {0x0B98, 'i', 1}, {0x0B94, 'i', 1}, {0x0B95, 'i', 1}, {0x0B96, 'i', 1},
            {0x0B91, 'i', 1}, {0x8800, 'i', 1}, {0x8801, 'i', 1}, {0x8802, 'i', 1}, {0x8803, 'i', 1}, {0x8CA3, 'i', 1},
            {0x8CA4, 'i', 1}, {0x8CA5, 'i', 1}, {0x80A9, 'i', 1}, {0x80A8, 'i', 1}, {0x0D50, 'i', 1},
        };
        const Gl& gl = Lib().gl;
        for (const Kind& k : kKinds) {
            if (k.pname != pname) continue;
            std::string text(1, k.kind);
            if (k.kind == 'f') {
                GLfloat v[4] = {};
                gl.GetFloatv(pname, v);
                for (int i = 0; i < k.count; ++i) text += " " + std::to_string(v[i]);
            } else if (k.kind == 'b') {
                GLboolean v[4] = {};
                gl.GetBooleanv(pname, v);
                for (int i = 0; i < k.count; ++i) text += v[i] ? " 1" : " 0";
            } else {
                GLint v[4] = {};
                gl.GetIntegerv(pname, v);
                for (int i = 0; i < k.count; ++i) text += " " + std::to_string(v[i]);
            }
            return GlResult::Text(text);
        }
        return GlResult::Null();
    }

    /// Storage for the bound renderbuffer at the drawing buffer's size and samples.
    void Storage(GLenum format) {
        if (m_multisample) Lib().renderbufferStorageMultisample(GL_RENDERBUFFER, kSamples, format, m_width, m_height);
        else Lib().gl.RenderbufferStorage(GL_RENDERBUFFER, format, m_width, m_height);
    }

    /// The samples averaged into the resolve buffer, whatever the script's bindings,
    /// scissor and masks (which a copy would otherwise obey).
    void Resolve() {
        const Gl& gl = Lib().gl;
        GLint read = 0, draw = 0;
        GLboolean mask[4];
        gl.GetIntegerv(kReadFramebufferBinding, &read);
        gl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &draw);
        gl.GetBooleanv(GL_COLOR_WRITEMASK, mask);
        GLboolean scissor = gl.IsEnabled(GL_SCISSOR_TEST);
        gl.Disable(GL_SCISSOR_TEST);
        gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        gl.BindFramebuffer(kReadFramebuffer, m_fbo);
        gl.BindFramebuffer(kDrawFramebuffer, m_resolveFbo);
        Lib().blitFramebuffer(0, 0, m_width, m_height, 0, 0, m_width, m_height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        gl.BindFramebuffer(kReadFramebuffer, static_cast<GLuint>(read));
        gl.BindFramebuffer(kDrawFramebuffer, static_cast<GLuint>(draw));
        gl.ColorMask(mask[0], mask[1], mask[2], mask[3]);
        if (scissor) gl.Enable(GL_SCISSOR_TEST);
    }

    void Refuse(GLenum error) {
        if (m_error == GL_NO_ERROR) m_error = error;
    }

    /// Whether a draw reads only buffers: an enabled attribute without one would make GL
    /// read the script's offset as an address (a buffer deleted while in use leaves one).
    bool AttributesInBuffers() {
        const Gl& gl = Lib().gl;
        GLint count = 0;
        gl.GetIntegerv(GL_MAX_VERTEX_ATTRIBS, &count);
        for (GLint i = 0; i < count; ++i) {
            GLint enabled = 0, buffer = 0;
            gl.GetVertexAttribiv(static_cast<GLuint>(i), GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
            if (!enabled) continue;
            gl.GetVertexAttribiv(static_cast<GLuint>(i), GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
            if (buffer == 0) return false;
        }
        return true;
    }

    /// The bytes a texture upload of `width` × `height` reads, as the unpack alignment
    /// pads its rows; 0 for a format or type WebGL 1 does not take.
    size_t UploadBytes(int width, int height, GLenum format, GLenum type) const {
        if (width <= 0 || height <= 0) return 0;
        size_t pixel;
        if (type == GL_UNSIGNED_SHORT_5_6_5 || type == GL_UNSIGNED_SHORT_4_4_4_4 || type == GL_UNSIGNED_SHORT_5_5_5_1) {
            pixel = 2;
        } else {
            size_t channels = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : format == GL_LUMINANCE_ALPHA || format == 0x8227 /* RG */ ? 2
                            : format == GL_LUMINANCE || format == GL_ALPHA || format == 0x1903 /* RED */ ? 1 : 0;
            size_t size = type == GL_UNSIGNED_BYTE ? 1 : type == GL_FLOAT ? 4 : type == 0x8D61 || type == 0x140B /* half floats */ ? 2 : 0;
            pixel = channels * size;
        }
        if (pixel == 0) return 0;
        size_t row = static_cast<size_t>(width) * pixel;
        size_t aligned = (row + m_unpackAlignment - 1) / m_unpackAlignment * m_unpackAlignment;
        return aligned * static_cast<size_t>(height - 1) + row;
    }

    /// Texture data as WebGL's pixel store says it comes: flipped, premultiplied.
    std::vector<uint8_t> Unpacked(const GlArg& pixels, int width, int height, GLenum format, GLenum type) const {
        std::vector<uint8_t> data = pixels.bytes;
        if (type != GL_UNSIGNED_BYTE || width <= 0 || height <= 0) return data;
        int channels = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : format == GL_LUMINANCE_ALPHA ? 2 : 1;
        size_t row = static_cast<size_t>(width) * channels;
        size_t aligned = (row + m_unpackAlignment - 1) / m_unpackAlignment * m_unpackAlignment;
        if (data.size() < aligned * (height - 1) + row) return data;
        if (m_premultiply && format == GL_RGBA) {
            for (int y = 0; y < height; ++y)
                for (size_t x = 0; x < row; x += 4) {
                    uint8_t* p = data.data() + y * aligned + x;
                    for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((p[c] * p[3] + 127) / 255);
                }
        }
        if (m_flipY) {
            std::vector<uint8_t> line(row);
            for (int y = 0; y < height / 2; ++y) {
                uint8_t* a = data.data() + y * aligned;
                uint8_t* b = data.data() + (height - 1 - y) * aligned;
                std::memcpy(line.data(), a, row);
                std::memcpy(a, b, row);
                std::memcpy(b, line.data(), row);
            }
        }
        return data;
    }

    EGLContext m_context;
    GlAttributes m_attributes;
    GLuint m_fbo = 0, m_color = 0, m_depth = 0;
    GLuint m_resolveFbo = 0, m_resolveColor = 0;  ///< where the samples are averaged (antialiased)
    bool m_multisample = false;
    int m_width = 1, m_height = 1;
    bool m_flipY = false, m_premultiply = false;
    GLenum m_error = GL_NO_ERROR;
    int m_unpackAlignment = 4;
};

double Num(const std::vector<GlArg>& a, size_t i) { return i < a.size() && a[i].kind == GlArg::Kind::Number ? a[i].number : 0; }
bool Present(const std::vector<GlArg>& a, size_t i) { return i < a.size() && a[i].kind != GlArg::Kind::None; }
const std::vector<uint8_t>* Bytes(const std::vector<GlArg>& a, size_t i) {
    return i < a.size() && a[i].kind == GlArg::Kind::Bytes ? &a[i].bytes : nullptr;
}
template <typename T>
std::vector<T> Values(const std::vector<GlArg>& a, size_t i) {
    std::vector<T> out;
    if (const auto* b = Bytes(a, i)) {
        out.resize(b->size() / sizeof(T));
        std::memcpy(out.data(), b->data(), out.size() * sizeof(T));
    }
    return out;
}
std::string Text(const std::vector<GlArg>& a, size_t i) { return i < a.size() ? a[i].text : std::string(); }

GlResult MesaContext::Call(std::string_view name, const std::vector<GlArg>& a) {
    if (!Current()) return {};
    const Gl& gl = Lib().gl;
    auto n = [&](size_t i) { return Num(a, i); };
    auto e = [&](size_t i) { return static_cast<GLenum>(Num(a, i)); };
    auto i32 = [&](size_t i) { return static_cast<GLint>(Num(a, i)); };
    auto u = [&](size_t i) { return static_cast<GLuint>(Num(a, i)); };
    auto f = [&](size_t i) { return static_cast<GLfloat>(Num(a, i)); };
    auto b = [&](size_t i) { return static_cast<GLboolean>(Num(a, i) != 0); };

    // State.
    if (name == "getError") {
        // An error WebGL's own checks found comes first, as if GL had found it.
        if (m_error != GL_NO_ERROR) {
            GLenum e0 = m_error;
            m_error = GL_NO_ERROR;
            return GlResult::Number(e0);
        }
        return GlResult::Number(gl.GetError());
    }
    if (name == "clearColor") return gl.ClearColor(f(0), f(1), f(2), f(3)), GlResult{};
    if (name == "clear") return gl.Clear(static_cast<GLbitfield>(n(0))), GlResult{};
    if (name == "clearDepth") return gl.ClearDepthf(f(0)), GlResult{};
    if (name == "clearStencil") return gl.ClearStencil(i32(0)), GlResult{};
    if (name == "viewport") return gl.Viewport(i32(0), i32(1), i32(2), i32(3)), GlResult{};
    if (name == "scissor") return gl.Scissor(i32(0), i32(1), i32(2), i32(3)), GlResult{};
    if (name == "enable") return gl.Enable(e(0)), GlResult{};
    if (name == "disable") return gl.Disable(e(0)), GlResult{};
    if (name == "isEnabled") return GlResult::Bool(gl.IsEnabled(e(0)));
    if (name == "blendFunc") return gl.BlendFunc(e(0), e(1)), GlResult{};
    if (name == "blendFuncSeparate") return gl.BlendFuncSeparate(e(0), e(1), e(2), e(3)), GlResult{};
    if (name == "blendEquation") return gl.BlendEquation(e(0)), GlResult{};
    if (name == "blendEquationSeparate") return gl.BlendEquationSeparate(e(0), e(1)), GlResult{};
    if (name == "blendColor") return gl.BlendColor(f(0), f(1), f(2), f(3)), GlResult{};
    if (name == "depthFunc") return gl.DepthFunc(e(0)), GlResult{};
    if (name == "depthMask") return gl.DepthMask(b(0)), GlResult{};
    if (name == "depthRange") return gl.DepthRangef(f(0), f(1)), GlResult{};
    if (name == "colorMask") return gl.ColorMask(b(0), b(1), b(2), b(3)), GlResult{};
    if (name == "cullFace") return gl.CullFace(e(0)), GlResult{};
    if (name == "frontFace") return gl.FrontFace(e(0)), GlResult{};
    if (name == "lineWidth") return gl.LineWidth(f(0)), GlResult{};
    if (name == "polygonOffset") return gl.PolygonOffset(f(0), f(1)), GlResult{};
    if (name == "stencilFunc") return gl.StencilFunc(e(0), i32(1), u(2)), GlResult{};
    if (name == "stencilFuncSeparate") return gl.StencilFuncSeparate(e(0), e(1), i32(2), u(3)), GlResult{};
    if (name == "stencilOp") return gl.StencilOp(e(0), e(1), e(2)), GlResult{};
    if (name == "stencilOpSeparate") return gl.StencilOpSeparate(e(0), e(1), e(2), e(3)), GlResult{};
    if (name == "stencilMask") return gl.StencilMask(u(0)), GlResult{};
    if (name == "stencilMaskSeparate") return gl.StencilMaskSeparate(e(0), u(1)), GlResult{};
    if (name == "sampleCoverage") return gl.SampleCoverage(f(0), b(1)), GlResult{};
    if (name == "hint") return gl.Hint(e(0), e(1)), GlResult{};
    if (name == "flush") return gl.Flush(), GlResult{};
    if (name == "finish") return gl.Finish(), GlResult{};
    if (name == "pixelStorei") {
        GLenum p = e(0);
        if (p == kUnpackFlipY) m_flipY = n(1) != 0;
        else if (p == kUnpackPremultiply) m_premultiply = n(1) != 0;
        else if (p == kUnpackColorspace) {
        } else {
            if (p == GL_UNPACK_ALIGNMENT && (i32(1) == 1 || i32(1) == 2 || i32(1) == 4 || i32(1) == 8)) m_unpackAlignment = i32(1);
            gl.PixelStorei(p, i32(1));
        }
        return {};
    }

    if (name == "getParameter") return State(e(0));

    // Buffers.
    if (name == "createBuffer") {
        GLuint id = 0;
        gl.GenBuffers(1, &id);
        return GlResult::Number(id);
    }
    if (name == "bindBuffer") return gl.BindBuffer(e(0), u(1)), GlResult{};
    if (name == "deleteBuffer") {
        GLuint id = u(0);
        gl.DeleteBuffers(1, &id);
        return {};
    }
    if (name == "isBuffer") return GlResult::Bool(gl.IsBuffer(u(0)));
    if (name == "bufferData") {
        if (const auto* data = Bytes(a, 1)) {
            gl.BufferData(e(0), static_cast<GLsizeiptr>(data->size()), data->data(), e(2));
        } else if (n(1) > kMaxBufferBytes) {
            // More than a page may have: refused as the driver would refuse memory it lacks.
            Refuse(GL_OUT_OF_MEMORY);
        } else {
            gl.BufferData(e(0), static_cast<GLsizeiptr>(std::max(0.0, n(1))), nullptr, e(2));
        }
        return {};
    }
    if (name == "bufferSubData") {
        if (const auto* data = Bytes(a, 2))
            gl.BufferSubData(e(0), static_cast<GLintptr>(n(1)), static_cast<GLsizeiptr>(data->size()), data->data());
        return {};
    }

    // Shaders and programs.
    if (name == "createShader") return GlResult::Number(gl.CreateShader(e(0)));
    if (name == "shaderSource") {
        std::string source = Text(a, 1);
        const GLchar* text = source.c_str();
        GLint length = static_cast<GLint>(source.size());
        gl.ShaderSource(u(0), 1, &text, &length);
        return {};
    }
    if (name == "compileShader") return gl.CompileShader(u(0)), GlResult{};
    if (name == "deleteShader") return gl.DeleteShader(u(0)), GlResult{};
    if (name == "attachShader") return gl.AttachShader(u(0), u(1)), GlResult{};
    if (name == "detachShader") return gl.DetachShader(u(0), u(1)), GlResult{};
    if (name == "getShaderParameter" || name == "getProgramParameter") {
        GLint v = 0;
        bool shader = name == "getShaderParameter";
        GLenum p = e(1);
        if (shader) gl.GetShaderiv(u(0), p, &v);
        else gl.GetProgramiv(u(0), p, &v);
        if (p == GL_COMPILE_STATUS || p == GL_LINK_STATUS || p == GL_DELETE_STATUS || p == GL_VALIDATE_STATUS)
            return GlResult::Bool(v != 0);
        return GlResult::Number(v);
    }
    if (name == "getShaderInfoLog" || name == "getProgramInfoLog") {
        GLint length = 0;
        bool shader = name == "getShaderInfoLog";
        if (shader) gl.GetShaderiv(u(0), GL_INFO_LOG_LENGTH, &length);
        else gl.GetProgramiv(u(0), GL_INFO_LOG_LENGTH, &length);
        std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
        GLsizei got = 0;
        if (shader) gl.GetShaderInfoLog(u(0), static_cast<GLsizei>(log.size()), &got, log.data());
        else gl.GetProgramInfoLog(u(0), static_cast<GLsizei>(log.size()), &got, log.data());
        log.resize(static_cast<size_t>(std::max(got, 0)));
        return GlResult::Text(log);
    }
    if (name == "createProgram") return GlResult::Number(gl.CreateProgram());
    if (name == "linkProgram") return gl.LinkProgram(u(0)), GlResult{};
    if (name == "useProgram") return gl.UseProgram(u(0)), GlResult{};
    if (name == "deleteProgram") return gl.DeleteProgram(u(0)), GlResult{};
    if (name == "validateProgram") return gl.ValidateProgram(u(0)), GlResult{};
    if (name == "getAttribLocation") return GlResult::Number(gl.GetAttribLocation(u(0), Text(a, 1).c_str()));
    if (name == "bindAttribLocation") return gl.BindAttribLocation(u(0), u(1), Text(a, 2).c_str()), GlResult{};
    if (name == "getUniformLocation") {
        GLint at = gl.GetUniformLocation(u(0), Text(a, 1).c_str());
        return at < 0 ? GlResult::Null() : GlResult::Number(at);
    }
    if (name == "getActiveAttrib" || name == "getActiveUniform") {
        char text[256] = {};
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        while (gl.GetError() != GL_NO_ERROR) {
        }
        if (name == "getActiveAttrib") gl.GetActiveAttrib(u(0), u(1), sizeof text, &length, &size, &type, text);
        else gl.GetActiveUniform(u(0), u(1), sizeof text, &length, &size, &type, text);
        if (gl.GetError() != GL_NO_ERROR) return GlResult::Null();
        return GlResult::Text(std::to_string(size) + " " + std::to_string(type) + " " + std::string(text, static_cast<size_t>(length)));
    }

    // Attributes and uniforms (a location of null is passed over, as WebGL does).
    if (name == "enableVertexAttribArray") return gl.EnableVertexAttribArray(u(0)), GlResult{};
    if (name == "disableVertexAttribArray") return gl.DisableVertexAttribArray(u(0)), GlResult{};
    if (name == "vertexAttribPointer") {
        GLint buffer = 0;
        gl.GetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
        if (buffer == 0) return Refuse(GL_INVALID_OPERATION), GlResult{};
        gl.VertexAttribPointer(u(0), i32(1), e(2), b(3), i32(4),
                               reinterpret_cast<const void*>(static_cast<uintptr_t>(std::max(0.0, n(5)))));
        return {};
    }
    if (name == "vertexAttrib4f") return gl.VertexAttrib4f(u(0), f(1), f(2), f(3), f(4)), GlResult{};
    if (name.substr(0, 7) == "uniform") {
        if (!Present(a, 0)) return {};
        GLint at = i32(0);
        if (name == "uniform1f") gl.Uniform1f(at, f(1));
        else if (name == "uniform2f") gl.Uniform2f(at, f(1), f(2));
        else if (name == "uniform3f") gl.Uniform3f(at, f(1), f(2), f(3));
        else if (name == "uniform4f") gl.Uniform4f(at, f(1), f(2), f(3), f(4));
        else if (name == "uniform1i") gl.Uniform1i(at, i32(1));
        else if (name == "uniform2i") gl.Uniform2i(at, i32(1), i32(2));
        else if (name == "uniform3i") gl.Uniform3i(at, i32(1), i32(2), i32(3));
        else if (name == "uniform4i") gl.Uniform4i(at, i32(1), i32(2), i32(3), i32(4));
        else if (name.size() == 10 && name.substr(8) == "fv") {
            auto v = Values<GLfloat>(a, 1);
            int k = name[7] - '0';
            GLsizei count = static_cast<GLsizei>(v.size() / k);
            if (k == 1) gl.Uniform1fv(at, count, v.data());
            else if (k == 2) gl.Uniform2fv(at, count, v.data());
            else if (k == 3) gl.Uniform3fv(at, count, v.data());
            else gl.Uniform4fv(at, count, v.data());
        } else if (name.size() == 10 && name.substr(8) == "iv") {
            auto v = Values<GLint>(a, 1);
            int k = name[7] - '0';
            GLsizei count = static_cast<GLsizei>(v.size() / k);
            if (k == 1) gl.Uniform1iv(at, count, v.data());
            else if (k == 2) gl.Uniform2iv(at, count, v.data());
            else if (k == 3) gl.Uniform3iv(at, count, v.data());
            else gl.Uniform4iv(at, count, v.data());
        } else if (name.rfind("uniformMatrix", 0) == 0) {
            auto v = Values<GLfloat>(a, 2);
            int k = name[13] - '0';
            GLsizei count = static_cast<GLsizei>(v.size() / (k * k));
            if (k == 2) gl.UniformMatrix2fv(at, count, b(1), v.data());
            else if (k == 3) gl.UniformMatrix3fv(at, count, b(1), v.data());
            else gl.UniformMatrix4fv(at, count, b(1), v.data());
        }
        return {};
    }

    // Drawing.
    if (name == "drawArrays") {
        if (!AttributesInBuffers()) return Refuse(GL_INVALID_OPERATION), GlResult{};
        gl.DrawArrays(e(0), i32(1), i32(2));
        return {};
    }
    if (name == "drawElements") {
        GLint indices = 0;
        gl.GetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &indices);
        if (indices == 0 || !AttributesInBuffers()) return Refuse(GL_INVALID_OPERATION), GlResult{};
        gl.DrawElements(e(0), i32(1), e(2), reinterpret_cast<const void*>(static_cast<uintptr_t>(std::max(0.0, n(3)))));
        return {};
    }

    // Textures, framebuffers, renderbuffers (null binds the drawing buffer back).
    if (name == "createTexture") {
        GLuint id = 0;
        gl.GenTextures(1, &id);
        return GlResult::Number(id);
    }
    if (name == "bindTexture") return gl.BindTexture(e(0), u(1)), GlResult{};
    if (name == "deleteTexture") {
        GLuint id = u(0);
        gl.DeleteTextures(1, &id);
        return {};
    }
    if (name == "activeTexture") return gl.ActiveTexture(e(0)), GlResult{};
    if (name == "texParameteri") return gl.TexParameteri(e(0), e(1), i32(2)), GlResult{};
    if (name == "texParameterf") return gl.TexParameterf(e(0), e(1), f(2)), GlResult{};
    if (name == "generateMipmap") return gl.GenerateMipmap(e(0)), GlResult{};
    if (name == "texImage2D") {
        // target, level, internalformat, width, height, border, format, type, pixels
        std::vector<uint8_t> data;
        if (const auto* given = Bytes(a, 8)) {
            size_t need = UploadBytes(i32(3), i32(4), e(6), e(7));
            if (need == 0 && i32(3) > 0 && i32(4) > 0) return Refuse(GL_INVALID_ENUM), GlResult{};
            if (given->size() < need) return Refuse(GL_INVALID_OPERATION), GlResult{};
            data = Unpacked(a[8], i32(3), i32(4), e(6), e(7));
        }
        gl.TexImage2D(e(0), i32(1), i32(2), i32(3), i32(4), i32(5), e(6), e(7), data.empty() ? nullptr : data.data());
        return {};
    }
    if (name == "texSubImage2D") {
        // target, level, x, y, width, height, format, type, pixels
        const auto* given = Bytes(a, 8);
        if (!given) return {};
        size_t need = UploadBytes(i32(4), i32(5), e(6), e(7));
        if (need == 0 && i32(4) > 0 && i32(5) > 0) return Refuse(GL_INVALID_ENUM), GlResult{};
        if (given->size() < need) return Refuse(GL_INVALID_OPERATION), GlResult{};
        std::vector<uint8_t> data = Unpacked(a[8], i32(4), i32(5), e(6), e(7));
        gl.TexSubImage2D(e(0), i32(1), i32(2), i32(3), i32(4), i32(5), e(6), e(7), data.data());
        return {};
    }
    if (name == "createFramebuffer") {
        GLuint id = 0;
        gl.GenFramebuffers(1, &id);
        return GlResult::Number(id);
    }
    if (name == "bindFramebuffer") return gl.BindFramebuffer(e(0), Present(a, 1) ? u(1) : m_fbo), GlResult{};
    if (name == "deleteFramebuffer") {
        GLuint id = u(0);
        if (id != m_fbo && id != m_resolveFbo) gl.DeleteFramebuffers(1, &id);
        return {};
    }
    if (name == "framebufferTexture2D") return gl.FramebufferTexture2D(e(0), e(1), e(2), u(3), i32(4)), GlResult{};
    if (name == "framebufferRenderbuffer") return gl.FramebufferRenderbuffer(e(0), e(1), e(2), u(3)), GlResult{};
    if (name == "checkFramebufferStatus") return GlResult::Number(gl.CheckFramebufferStatus(e(0)));
    if (name == "createRenderbuffer") {
        GLuint id = 0;
        gl.GenRenderbuffers(1, &id);
        return GlResult::Number(id);
    }
    if (name == "bindRenderbuffer") return gl.BindRenderbuffer(e(0), u(1)), GlResult{};
    if (name == "deleteRenderbuffer") {
        GLuint id = u(0);
        if (id != m_color && id != m_depth && id != m_resolveColor) gl.DeleteRenderbuffers(1, &id);
        return {};
    }
    if (name == "renderbufferStorage") return gl.RenderbufferStorage(e(0), e(1), i32(2), i32(3)), GlResult{};
    return {};
}

}  // namespace

std::unique_ptr<GlContext> NewGlContext(int width, int height, const GlAttributes& attributes, std::string& why) {
    Library& lib = Lib();
    if (lib.display == EGL_NO_DISPLAY) {
        why = lib.why;
        return nullptr;
    }
    // Robust buffer access: a draw that reaches past a buffer's end reads zeros or
    // in-bounds values, never other memory. A driver without it is not used.
    EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, attributes.version2 ? 3 : 2, EGL_CONTEXT_OPENGL_ROBUST_ACCESS_EXT,
                        EGL_TRUE, EGL_NONE};
    EGLContext context = lib.robust ? lib.egl.CreateContext(lib.display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, version)
                                    : EGL_NO_CONTEXT;
    if (context == EGL_NO_CONTEXT) {
        why = lib.robust ? "无法创建 OpenGL ES 上下文" : "OpenGL ES 驱动不能保证缓冲区访问不越界";
        return nullptr;
    }
    auto made = std::make_unique<MesaContext>(context, attributes);
    if (!made->Start(width, height)) {
        why = "无法创建 WebGL 的绘制缓冲区";
        return nullptr;
    }
    return made;
}

}  // namespace qy::webgl
