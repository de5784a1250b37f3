// SPDX-License-Identifier: MIT
// The uniform and vertex attribute families of glShader.
#include "glshader.h"

#include <cstdio>

namespace shadekit {

GLint glShader::locationOf(const char *name, GLint index)
{
    return name ? GetUniformLocation(name) : index;
}

template <typename Call>
bool glShader::setUniform(const char *name, GLint index, Call call, bool supported)
{
    if (!useGLSL)
        return false;
    if (!m_enabled)
        return true;
    if (!supported)
        return false;
    const GLint location = locationOf(name, index);
    if (location == -1)
        return false;
    call(location);
    CheckGLError(__FILE__, __LINE__);
    return true;
}

template <typename Call>
void glShader::getUniform(const char *name, GLint index, Call call, bool supported)
{
    if (!useGLSL || !supported)
        return;
    const GLint location = locationOf(name, index);
    if (location == -1)
        return;
    call(location);
    CheckGLError(__FILE__, __LINE__);
}

template <typename Call> bool glShader::setVertexAttrib(GLuint index, Call call, bool supported)
{
    if (!useGLSL)
        return false;
    if (!m_enabled)
        return true;
    // A missing attribute location (-1) arrives here as the largest unsigned value.
    if (!supported || static_cast<GLint>(index) == -1)
        return false;
    call(index);
    CheckGLError(__FILE__, __LINE__);
    return true;
}

bool glShader::setUniform1f(const char *name, GLfloat v0, GLint index)
{
    return setUniform(name, index, [&](GLint location) { glUniform1fARB(location, v0); });
}

bool glShader::setUniform2f(const char *name, GLfloat v0, GLfloat v1, GLint index)
{
    return setUniform(name, index, [&](GLint location) { glUniform2fARB(location, v0, v1); });
}

bool glShader::setUniform3f(const char *name, GLfloat v0, GLfloat v1, GLfloat v2, GLint index)
{
    return setUniform(name, index, [&](GLint location) { glUniform3fARB(location, v0, v1, v2); });
}

bool glShader::setUniform4f(const char *name, GLfloat v0, GLfloat v1, GLfloat v2, GLfloat v3,
                            GLint index)
{
    return setUniform(name, index,
                      [&](GLint location) { glUniform4fARB(location, v0, v1, v2, v3); });
}

bool glShader::setUniform1i(const char *name, GLint v0, GLint index)
{
    return setUniform(name, index, [&](GLint location) { glUniform1iARB(location, v0); });
}

bool glShader::setUniform2i(const char *name, GLint v0, GLint v1, GLint index)
{
    return setUniform(name, index, [&](GLint location) { glUniform2iARB(location, v0, v1); });
}

bool glShader::setUniform3i(const char *name, GLint v0, GLint v1, GLint v2, GLint index)
{
    return setUniform(name, index, [&](GLint location) { glUniform3iARB(location, v0, v1, v2); });
}

bool glShader::setUniform4i(const char *name, GLint v0, GLint v1, GLint v2, GLint v3, GLint index)
{
    return setUniform(name, index,
                      [&](GLint location) { glUniform4iARB(location, v0, v1, v2, v3); });
}

bool glShader::setUniform1ui(const char *name, GLuint v0, GLint index)
{
    return setUniform(
        name, index, [&](GLint location) { glUniform1uiEXT(location, v0); }, bGPUShader4);
}

bool glShader::setUniform2ui(const char *name, GLuint v0, GLuint v1, GLint index)
{
    return setUniform(
        name, index, [&](GLint location) { glUniform2uiEXT(location, v0, v1); }, bGPUShader4);
}

bool glShader::setUniform3ui(const char *name, GLuint v0, GLuint v1, GLuint v2, GLint index)
{
    return setUniform(
        name, index, [&](GLint location) { glUniform3uiEXT(location, v0, v1, v2); }, bGPUShader4);
}

bool glShader::setUniform4ui(const char *name, GLuint v0, GLuint v1, GLuint v2, GLuint v3,
                             GLint index)
{
    return setUniform(
        name, index, [&](GLint location) { glUniform4uiEXT(location, v0, v1, v2, v3); },
        bGPUShader4);
}

bool glShader::setUniform1fv(const char *name, GLsizei count, const GLfloat *values, GLint index)
{
    return setUniform(name, index,
                      [&](GLint location) { glUniform1fvARB(location, count, values); });
}

bool glShader::setUniform2fv(const char *name, GLsizei count, const GLfloat *values, GLint index)
{
    return setUniform(name, index,
                      [&](GLint location) { glUniform2fvARB(location, count, values); });
}

bool glShader::setUniform4fv(const char *name, GLsizei count, const GLfloat *values, GLint index)
{
    return setUniform(name, index,
                      [&](GLint location) { glUniform4fvARB(location, count, values); });
}

bool glShader::setUniform3fv(const char *name, GLsizei count, const GLfloat *values, GLint index)
{
    if (!useGLSL)
        return false;
    if (!m_enabled)
        return true;
    const GLint location = locationOf(name, index);
    if (location == -1) {
        std::printf("can't find var %s\n", name ? name : "(null)");
        return false;
    }
    glUniform3fvARB(location, count, values);
    CheckGLError(__FILE__, __LINE__);
    return true;
}

bool glShader::setUniform1iv(const char *name, GLsizei count, const GLint *values, GLint index)
{
    return setUniform(name, index,
                      [&](GLint location) { glUniform1ivARB(location, count, values); });
}

bool glShader::setUniform2iv(const char *name, GLsizei count, const GLint *values, GLint index)
{
    return setUniform(name, index,
                      [&](GLint location) { glUniform2ivARB(location, count, values); });
}

bool glShader::setUniform3iv(const char *name, GLsizei count, const GLint *values, GLint index)
{
    return setUniform(name, index,
                      [&](GLint location) { glUniform3ivARB(location, count, values); });
}

bool glShader::setUniform4iv(const char *name, GLsizei count, const GLint *values, GLint index)
{
    return setUniform(name, index,
                      [&](GLint location) { glUniform4ivARB(location, count, values); });
}

bool glShader::setUniform1uiv(const char *name, GLsizei count, const GLuint *values, GLint index)
{
    return setUniform(
        name, index, [&](GLint location) { glUniform1uivEXT(location, count, values); },
        bGPUShader4);
}

bool glShader::setUniform2uiv(const char *name, GLsizei count, const GLuint *values, GLint index)
{
    return setUniform(
        name, index, [&](GLint location) { glUniform2uivEXT(location, count, values); },
        bGPUShader4);
}

bool glShader::setUniform3uiv(const char *name, GLsizei count, const GLuint *values, GLint index)
{
    return setUniform(
        name, index, [&](GLint location) { glUniform3uivEXT(location, count, values); },
        bGPUShader4);
}

bool glShader::setUniform4uiv(const char *name, GLsizei count, const GLuint *values, GLint index)
{
    return setUniform(
        name, index, [&](GLint location) { glUniform4uivEXT(location, count, values); },
        bGPUShader4);
}

bool glShader::setUniformMatrix2fv(const char *name, GLsizei count, bool transpose,
                                   const GLfloat *values, GLint index)
{
    return setUniform(name, index, [&](GLint location) {
        glUniformMatrix2fvARB(location, count, transpose ? GL_TRUE : GL_FALSE, values);
    });
}

bool glShader::setUniformMatrix3fv(const char *name, GLsizei count, bool transpose,
                                   const GLfloat *values, GLint index)
{
    return setUniform(name, index, [&](GLint location) {
        glUniformMatrix3fvARB(location, count, transpose ? GL_TRUE : GL_FALSE, values);
    });
}

bool glShader::setUniformMatrix4fv(const char *name, GLsizei count, bool transpose,
                                   const GLfloat *values, GLint index)
{
    return setUniform(name, index, [&](GLint location) {
        glUniformMatrix4fvARB(location, count, transpose ? GL_TRUE : GL_FALSE, values);
    });
}

void glShader::getUniformfv(const char *name, GLfloat *values, GLint index)
{
    getUniform(name, index,
               [&](GLint location) { glGetUniformfvARB(m_program, location, values); });
}

void glShader::getUniformiv(const char *name, GLint *values, GLint index)
{
    getUniform(name, index,
               [&](GLint location) { glGetUniformivARB(m_program, location, values); });
}

void glShader::getUniformuiv(const char *name, GLuint *values, GLint index)
{
    getUniform(
        name, index, [&](GLint location) { glGetUniformuivEXT(m_program, location, values); },
        bGPUShader4);
}

bool glShader::setVertexAttrib1f(GLuint index, GLfloat v0)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib1fARB(at, v0); });
}

bool glShader::setVertexAttrib2f(GLuint index, GLfloat v0, GLfloat v1)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib2fARB(at, v0, v1); });
}

bool glShader::setVertexAttrib3f(GLuint index, GLfloat v0, GLfloat v1, GLfloat v2)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib3fARB(at, v0, v1, v2); });
}

bool glShader::setVertexAttrib4f(GLuint index, GLfloat v0, GLfloat v1, GLfloat v2, GLfloat v3)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib4fARB(at, v0, v1, v2, v3); });
}

bool glShader::setVertexAttrib1d(GLuint index, GLdouble v0)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib1dARB(at, v0); });
}

bool glShader::setVertexAttrib2d(GLuint index, GLdouble v0, GLdouble v1)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib2dARB(at, v0, v1); });
}

bool glShader::setVertexAttrib3d(GLuint index, GLdouble v0, GLdouble v1, GLdouble v2)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib3dARB(at, v0, v1, v2); });
}

bool glShader::setVertexAttrib4d(GLuint index, GLdouble v0, GLdouble v1, GLdouble v2, GLdouble v3)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib4dARB(at, v0, v1, v2, v3); });
}

bool glShader::setVertexAttrib1s(GLuint index, GLshort v0)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib1sARB(at, v0); });
}

bool glShader::setVertexAttrib2s(GLuint index, GLshort v0, GLshort v1)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib2sARB(at, v0, v1); });
}

bool glShader::setVertexAttrib3s(GLuint index, GLshort v0, GLshort v1, GLshort v2)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib3sARB(at, v0, v1, v2); });
}

bool glShader::setVertexAttrib4s(GLuint index, GLshort v0, GLshort v1, GLshort v2, GLshort v3)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib4sARB(at, v0, v1, v2, v3); });
}

bool glShader::setVertexAttribNormalizedByte(GLuint index, GLubyte v0, GLubyte v1, GLubyte v2,
                                             GLubyte v3)
{
    return setVertexAttrib(index, [&](GLuint at) { glVertexAttrib4NubARB(at, v0, v1, v2, v3); });
}

bool glShader::setVertexAttrib1i(GLuint index, GLint v0)
{
    return setVertexAttrib(
        index, [&](GLuint at) { glVertexAttribI1iEXT(at, v0); }, bGPUShader4);
}

bool glShader::setVertexAttrib2i(GLuint index, GLint v0, GLint v1)
{
    return setVertexAttrib(
        index, [&](GLuint at) { glVertexAttribI2iEXT(at, v0, v1); }, bGPUShader4);
}

bool glShader::setVertexAttrib3i(GLuint index, GLint v0, GLint v1, GLint v2)
{
    return setVertexAttrib(
        index, [&](GLuint at) { glVertexAttribI3iEXT(at, v0, v1, v2); }, bGPUShader4);
}

bool glShader::setVertexAttrib4i(GLuint index, GLint v0, GLint v1, GLint v2, GLint v3)
{
    return setVertexAttrib(
        index, [&](GLuint at) { glVertexAttribI4iEXT(at, v0, v1, v2, v3); }, bGPUShader4);
}

bool glShader::setVertexAttrib1ui(GLuint index, GLuint v0)
{
    return setVertexAttrib(
        index, [&](GLuint at) { glVertexAttribI1uiEXT(at, v0); }, bGPUShader4);
}

bool glShader::setVertexAttrib2ui(GLuint index, GLuint v0, GLuint v1)
{
    return setVertexAttrib(
        index, [&](GLuint at) { glVertexAttribI2uiEXT(at, v0, v1); }, bGPUShader4);
}

bool glShader::setVertexAttrib3ui(GLuint index, GLuint v0, GLuint v1, GLuint v2)
{
    return setVertexAttrib(
        index, [&](GLuint at) { glVertexAttribI3uiEXT(at, v0, v1, v2); }, bGPUShader4);
}

bool glShader::setVertexAttrib4ui(GLuint index, GLuint v0, GLuint v1, GLuint v2, GLuint v3)
{
    return setVertexAttrib(
        index, [&](GLuint at) { glVertexAttribI4uiEXT(at, v0, v1, v2, v3); }, bGPUShader4);
}

} // namespace shadekit
