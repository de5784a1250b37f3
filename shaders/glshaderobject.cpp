// SPDX-License-Identifier: MIT
#include "glshaderobject.h"

#include "infolog.h"

#include <cstdio>
#include <cstring>

namespace shadekit {

namespace {

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};

} // namespace

glShaderObject::glShaderObject()
{
    InitOpenGLExtensions();
}

glShaderObject::~glShaderObject()
{
    if (useGLSL && m_handle) {
        glDeleteObjectARB(m_handle);
        CheckGLError(__FILE__, __LINE__);
    }
}

void glShaderObject::create(int type, GLenum kind, bool supported)
{
    m_type = type;
    if (!useGLSL || !supported)
        return;
    m_handle = glCreateShaderObjectARB(kind);
    CheckGLError(__FILE__, __LINE__);
}

void glShaderObject::loadFromMemory(const char *source)
{
    m_ownedSource.reset();
    m_source = source;
}

int glShaderObject::load(const char *fileName)
{
    if (!fileName)
        return -1;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName, "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(file.get());
    if (length < 0)
        return -1;
    if (length == 0)
        return -2;
    std::rewind(file.get());

    const auto size = static_cast<std::size_t>(length);
    MallocBuffer buffer(static_cast<char *>(std::malloc(size + 1)));
    if (!buffer)
        return -3;
    // The file may have shrunk since its length was taken: the text ends where reading ended.
    const std::size_t read = std::fread(buffer.get(), 1, size, file.get());
    if (std::ferror(file.get()))
        return -1;
    buffer.get()[read] = '\0';

    m_ownedSource = std::move(buffer);
    m_source = m_ownedSource.get();
    return 0;
}

bool glShaderObject::compile()
{
    if (!useGLSL || !m_handle || !m_source)
        return false;

    const GLint length = static_cast<GLint>(std::strlen(m_source));
    glShaderSourceARB(m_handle, 1, &m_source, &length);
    CheckGLError(__FILE__, __LINE__);
    glCompileShaderARB(m_handle);
    CheckGLError(__FILE__, __LINE__);
    GLint status = 0;
    glGetObjectParameterivARB(m_handle, GL_OBJECT_COMPILE_STATUS_ARB, &status);
    CheckGLError(__FILE__, __LINE__);

    m_compiled = status != 0;
    return m_compiled;
}

const char *glShaderObject::getCompilerLog()
{
    if (!useGLSL)
        return aGLSLStrings[GLSLNotAvailable];
    if (!m_handle)
        return aGLSLStrings[GLSLInvalidProgramObject];
    return detail::fetchInfoLog(m_handle, m_log, aGLSLStrings[GLSLNoCompilerLog]);
}

int glShaderObject::getAttribLocation(const char *name)
{
    if (!useGLSL || !name)
        return -1;
    const GLint location = glGetAttribLocationARB(m_handle, name);
    CheckGLError(__FILE__, __LINE__);
    return location;
}

aVertexShader::aVertexShader()
{
    create(vertexType, GL_VERTEX_SHADER_ARB, true);
}

aFragmentShader::aFragmentShader()
{
    create(fragmentType, GL_FRAGMENT_SHADER_ARB, true);
}

aGeometryShader::aGeometryShader()
{
    create(geometryType, GL_GEOMETRY_SHADER_EXT, bGeometryShader);
}

} // namespace shadekit
