// SPDX-License-Identifier: MIT
#pragma once

#include "glsupport.h"

namespace shadekit {

// One shader stage: its source text, its GL shader object and its compiler log. The stage
// classes below create the GL object; this base only manages source, compilation and log.
class glShaderObject {
public:
    // The stage types.
    static constexpr int vertexType = 1;
    static constexpr int fragmentType = 2;
    static constexpr int geometryType = 3;

    glShaderObject();
    virtual ~glShaderObject();
    glShaderObject(const glShaderObject &) = delete;
    glShaderObject &operator=(const glShaderObject &) = delete;

    // Uses source without copying it: the caller keeps the text alive while the object needs it.
    void loadFromMemory(const char *source);

    // Reads the whole file as the source. Returns 0, or -1 when the file cannot be opened, -2
    // when it is empty and -3 when no buffer can be allocated.
    int load(const char *fileName);

    // Compiles the source; false without GLSL, without a GL shader object or without source.
    bool compile();

    // The GL compiler log, or one of the aGLSLStrings texts when there is none. The text stays
    // valid until the next call or the object's destruction.
    const char *getCompilerLog();

    // Asks GL for the attribute location with this object's own handle. GL keeps attribute
    // locations per program, so for a shader handle it answers -1 and raises an error.
    int getAttribLocation(const char *name);

    int type() const { return m_type; }
    GLhandleARB handle() const { return m_handle; }
    const char *source() const { return m_source; }
    bool isCompiled() const { return m_compiled; }

protected:
    // Sets the stage type and, when GLSL and the stage are supported, creates the GL shader
    // object of the given kind.
    void create(int type, GLenum kind, bool supported);

private:
    int m_type = 0;
    GLhandleARB m_handle = 0;
    const char *m_source = nullptr;
    // Set when the source was read by load(); m_source then points into it.
    MallocBuffer m_ownedSource;
    MallocBuffer m_log;
    bool m_compiled = false;
};

// A vertex stage.
class aVertexShader : public glShaderObject {
public:
    aVertexShader();
};

// A fragment stage.
class aFragmentShader : public glShaderObject {
public:
    aFragmentShader();
};

// A geometry stage; it gets a GL object only when GL_EXT_geometry_shader4 is present.
class aGeometryShader : public glShaderObject {
public:
    aGeometryShader();
};

} // namespace shadekit
