// SPDX-License-Identifier: MIT
#include "glshader.h"

#include "glshaderobject.h"
#include "infolog.h"

#include <cstdio>

namespace shadekit {

glShader::glShader()
{
    InitOpenGLExtensions();
    if (!useGLSL) {
        std::puts("**ERROR: OpenGL Shading Language is NOT available!");
        return;
    }
    m_program = glCreateProgramObjectARB();
    CheckGLError(__FILE__, __LINE__);
}

glShader::~glShader()
{
    if (useGLSL && m_program)
        detachAll();
    if (m_ownsObjects) {
        for (glShaderObject *object : m_objects)
            delete object;
    }
    if (useGLSL && m_program) {
        glDeleteObjectARB(m_program);
        CheckGLError(__FILE__, __LINE__);
    }
}

void glShader::addShader(glShaderObject *object)
{
    if (!useGLSL || !object)
        return;
    if (!object->isCompiled()) {
        std::printf("**warning** please compile program before adding object! trying to compile "
                    "now...\n");
        if (!object->compile()) {
            std::printf("...compile ERROR!\n");
            return;
        }
        std::printf("...ok!\n");
    }
    m_objects.push_back(object);
}

void glShader::detachAll()
{
    for (std::size_t i = 0; i < m_attached; ++i) {
        glDetachObjectARB(m_program, m_objects[i]->handle());
        CheckGLError(__FILE__, __LINE__);
    }
    m_attached = 0;
}

bool glShader::link()
{
    if (!useGLSL || !m_program)
        return false;

    if (m_geometryParameters && bGeometryShader) {
        glProgramParameteriEXT(m_program, GL_GEOMETRY_INPUT_TYPE_EXT, m_inputPrimitiveType);
        CheckGLError(__FILE__, __LINE__);
        glProgramParameteriEXT(m_program, GL_GEOMETRY_OUTPUT_TYPE_EXT, m_outputPrimitiveType);
        CheckGLError(__FILE__, __LINE__);
        glProgramParameteriEXT(m_program, GL_GEOMETRY_VERTICES_OUT_EXT, m_verticesOut);
        CheckGLError(__FILE__, __LINE__);
    }

    if (m_linked)
        std::puts("**warning** Object is already linked, trying to link again");
    // Also after a failed link, whose stages stay attached: attaching them twice is a GL error.
    detachAll();

    for (glShaderObject *object : m_objects) {
        glAttachObjectARB(m_program, object->handle());
        CheckGLError(__FILE__, __LINE__);
    }
    m_attached = m_objects.size();

    glLinkProgramARB(m_program);
    CheckGLError(__FILE__, __LINE__);
    GLint status = 0;
    glGetObjectParameterivARB(m_program, GL_OBJECT_LINK_STATUS_ARB, &status);
    CheckGLError(__FILE__, __LINE__);

    m_linked = status != 0;
    if (!m_linked) {
        std::printf("**linker error**\n");
        return false;
    }
    return true;
}

const char *glShader::getLinkerLog()
{
    if (!useGLSL)
        return aGLSLStrings[GLSLNotAvailable];
    if (!m_program)
        return aGLSLStrings[GLSLInvalidObject];
    return detail::fetchInfoLog(m_program, m_log, aGLSLStrings[GLSLNoLinkerLog]);
}

void glShader::begin()
{
    if (!useGLSL || !m_program || !m_enabled || !m_linked)
        return;
    glUseProgramObjectARB(m_program);
    CheckGLError(__FILE__, __LINE__);
}

void glShader::end()
{
    if (!useGLSL || !m_enabled)
        return;
    glUseProgramObjectARB(0);
    CheckGLError(__FILE__, __LINE__);
}

GLint glShader::GetUniformLocation(const char *name)
{
    if (!useGLSL || !name)
        return -1;
    const GLint location = glGetUniformLocationARB(m_program, name);
    if (location == -1)
        std::printf("Error: can't find uniform variable \"%s\"\n", name);
    CheckGLError(__FILE__, __LINE__);
    return location;
}

void glShader::BindAttribLocation(GLint index, const char *name)
{
    if (!useGLSL || !name)
        return;
    glBindAttribLocationARB(m_program, static_cast<GLuint>(index), name);
    CheckGLError(__FILE__, __LINE__);
}

} // namespace shadekit
