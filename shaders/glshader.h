// SPDX-License-Identifier: MIT
#pragma once

#include "glsupport.h"

#include <vector>

namespace shadekit {

class glShaderObject;
class glShaderManager;

// Geometry stage settings a program starts with: triangles in, a triangle strip of three
// vertices out.
constexpr int defaultInputPrimitiveType = GL_TRIANGLES;
constexpr int defaultOutputPrimitiveType = GL_TRIANGLE_STRIP;
constexpr int defaultVerticesOut = 3;

// One GLSL program: its stages, linking with the linker log, switching it on and off, and the
// uniform and vertex attribute setters.
//
// Every setter follows one rule: it returns false without GLSL, and true without touching GL
// while the program is disabled. A uniform setter writes the location of name, or the location
// index when name is null; it returns false when that location is -1. Attribute setters write
// the attribute index directly.
class glShader {
public:
    // Creates the GL program object, or prints that GLSL is not available.
    glShader();
    // Detaches the stages (deleting them when the program owns them) and deletes the program.
    virtual ~glShader();
    glShader(const glShader &) = delete;
    glShader &operator=(const glShader &) = delete;

    // Adds a stage to be attached at the next link, compiling it first if needed; a stage that
    // does not compile is not added. The caller keeps ownership unless a manager built this
    // program.
    void addShader(glShaderObject *object);

    // Attaches the stages and links them; a linked program is detached and linked again.
    bool link();

    // The GL linker log, or one of the aGLSLStrings texts when there is none.
    const char *getLinkerLog();

    // Makes this program current, if it is enabled and linked.
    void begin();
    // Makes no program current, if this program is enabled.
    void end();

    // A disabled program ignores begin, end and the setters. Programs start enabled.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }
    bool isLinked() const { return m_linked; }
    GLhandleARB handle() const { return m_program; }

    // The location of a uniform; prints an error line and returns -1 when there is none.
    GLint GetUniformLocation(const char *name);
    // Binds an attribute name to index; takes effect at the next link.
    void BindAttribLocation(GLint index, const char *name);

    // Geometry stage settings, passed to GL at link time when geometry parameters are in use.
    void SetInputPrimitiveType(int type) { m_inputPrimitiveType = type; }
    void SetOutputPrimitiveType(int type) { m_outputPrimitiveType = type; }
    void SetVerticesOut(int count) { m_verticesOut = count; }
    void useGeometryParameters(bool use) { m_geometryParameters = use; }

    bool setUniform1f(const char *name, GLfloat v0, GLint index = -1);
    bool setUniform2f(const char *name, GLfloat v0, GLfloat v1, GLint index = -1);
    bool setUniform3f(const char *name, GLfloat v0, GLfloat v1, GLfloat v2, GLint index = -1);
    bool setUniform4f(const char *name, GLfloat v0, GLfloat v1, GLfloat v2, GLfloat v3,
                      GLint index = -1);

    bool setUniform1i(const char *name, GLint v0, GLint index = -1);
    bool setUniform2i(const char *name, GLint v0, GLint v1, GLint index = -1);
    bool setUniform3i(const char *name, GLint v0, GLint v1, GLint v2, GLint index = -1);
    bool setUniform4i(const char *name, GLint v0, GLint v1, GLint v2, GLint v3, GLint index = -1);

    // Unsigned uniforms need GL_EXT_gpu_shader4; without it these return false.
    bool setUniform1ui(const char *name, GLuint v0, GLint index = -1);
    bool setUniform2ui(const char *name, GLuint v0, GLuint v1, GLint index = -1);
    bool setUniform3ui(const char *name, GLuint v0, GLuint v1, GLuint v2, GLint index = -1);
    bool setUniform4ui(const char *name, GLuint v0, GLuint v1, GLuint v2, GLuint v3,
                       GLint index = -1);

    bool setUniform1fv(const char *name, GLsizei count, const GLfloat *values, GLint index = -1);
    bool setUniform2fv(const char *name, GLsizei count, const GLfloat *values, GLint index = -1);
    // Also prints "can't find var" with the name when the location is -1.
    bool setUniform3fv(const char *name, GLsizei count, const GLfloat *values, GLint index = -1);
    bool setUniform4fv(const char *name, GLsizei count, const GLfloat *values, GLint index = -1);

    bool setUniform1iv(const char *name, GLsizei count, const GLint *values, GLint index = -1);
    bool setUniform2iv(const char *name, GLsizei count, const GLint *values, GLint index = -1);
    bool setUniform3iv(const char *name, GLsizei count, const GLint *values, GLint index = -1);
    bool setUniform4iv(const char *name, GLsizei count, const GLint *values, GLint index = -1);

    bool setUniform1uiv(const char *name, GLsizei count, const GLuint *values, GLint index = -1);
    bool setUniform2uiv(const char *name, GLsizei count, const GLuint *values, GLint index = -1);
    bool setUniform3uiv(const char *name, GLsizei count, const GLuint *values, GLint index = -1);
    bool setUniform4uiv(const char *name, GLsizei count, const GLuint *values, GLint index = -1);

    bool setUniformMatrix2fv(const char *name, GLsizei count, bool transpose, const GLfloat *values,
                             GLint index = -1);
    bool setUniformMatrix3fv(const char *name, GLsizei count, bool transpose, const GLfloat *values,
                             GLint index = -1);
    bool setUniformMatrix4fv(const char *name, GLsizei count, bool transpose, const GLfloat *values,
                             GLint index = -1);

    // Read a uniform's current value into values; they ignore the enabled flag.
    void getUniformfv(const char *name, GLfloat *values, GLint index = -1);
    void getUniformiv(const char *name, GLint *values, GLint index = -1);
    void getUniformuiv(const char *name, GLuint *values, GLint index = -1);

    bool setVertexAttrib1f(GLuint index, GLfloat v0);
    bool setVertexAttrib2f(GLuint index, GLfloat v0, GLfloat v1);
    bool setVertexAttrib3f(GLuint index, GLfloat v0, GLfloat v1, GLfloat v2);
    bool setVertexAttrib4f(GLuint index, GLfloat v0, GLfloat v1, GLfloat v2, GLfloat v3);

    bool setVertexAttrib1d(GLuint index, GLdouble v0);
    bool setVertexAttrib2d(GLuint index, GLdouble v0, GLdouble v1);
    bool setVertexAttrib3d(GLuint index, GLdouble v0, GLdouble v1, GLdouble v2);
    bool setVertexAttrib4d(GLuint index, GLdouble v0, GLdouble v1, GLdouble v2, GLdouble v3);

    bool setVertexAttrib1s(GLuint index, GLshort v0);
    bool setVertexAttrib2s(GLuint index, GLshort v0, GLshort v1);
    bool setVertexAttrib3s(GLuint index, GLshort v0, GLshort v1, GLshort v2);
    bool setVertexAttrib4s(GLuint index, GLshort v0, GLshort v1, GLshort v2, GLshort v3);

    // Normalised: the bytes 0 to 255 become 0 to 1.
    bool setVertexAttribNormalizedByte(GLuint index, GLubyte v0, GLubyte v1, GLubyte v2,
                                       GLubyte v3);

    // Integer attributes need GL_EXT_gpu_shader4; without it these return false.
    bool setVertexAttrib1i(GLuint index, GLint v0);
    bool setVertexAttrib2i(GLuint index, GLint v0, GLint v1);
    bool setVertexAttrib3i(GLuint index, GLint v0, GLint v1, GLint v2);
    bool setVertexAttrib4i(GLuint index, GLint v0, GLint v1, GLint v2, GLint v3);

    bool setVertexAttrib1ui(GLuint index, GLuint v0);
    bool setVertexAttrib2ui(GLuint index, GLuint v0, GLuint v1);
    bool setVertexAttrib3ui(GLuint index, GLuint v0, GLuint v1, GLuint v2);
    bool setVertexAttrib4ui(GLuint index, GLuint v0, GLuint v1, GLuint v2, GLuint v3);

private:
    friend class glShaderManager;

    // The setter rule of the families; call makes the GL call at the location, and supported
    // tells whether its entry point exists.
    template <typename Call>
    bool setUniform(const char *name, GLint index, Call call, bool supported = true);
    template <typename Call>
    void getUniform(const char *name, GLint index, Call call, bool supported = true);
    template <typename Call> bool setVertexAttrib(GLuint index, Call call, bool supported = true);
    // The uniform location a setter or getter addresses.
    GLint locationOf(const char *name, GLint index);
    void detachAll();

    GLhandleARB m_program = 0;
    MallocBuffer m_log;
    bool m_linked = false;
    std::vector<glShaderObject *> m_objects;
    // How many of m_objects are attached GL-side; they are always the first ones.
    std::size_t m_attached = 0;
    // Set by the manager that built the program: the program then deletes its stages.
    bool m_ownsObjects = false;
    bool m_enabled = true;
    bool m_geometryParameters = false;
    int m_inputPrimitiveType = defaultInputPrimitiveType;
    int m_outputPrimitiveType = defaultOutputPrimitiveType;
    int m_verticesOut = defaultVerticesOut;
};

} // namespace shadekit
